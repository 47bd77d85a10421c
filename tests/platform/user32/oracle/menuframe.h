/* The pixel table of menus.h with flat menus turned off: the raised frame of the classic pop-up (the
 * popup menus of the bars draw the same frame). Included by the probe after menus.h. */

static void ScMenuPixelsRaised(void) {
    HWND owner = OracleMenuOwner();
    HMENU m = OracleLookMenu(1);
    BOOL flat = FALSE;
    SystemParametersInfoW(SPI_GETFLATMENU, 0, &flat, 0);
    SystemParametersInfoW(SPI_SETFLATMENU, 0, (PVOID)(INT_PTR)FALSE, 0);
    OracleSetRoles(1);
    OracleLookAt(owner, m, OracleLogPixels);
    OracleSetRoles(0);
    SystemParametersInfoW(SPI_SETFLATMENU, 0, (PVOID)(INT_PTR)flat, 0);
}

static const struct OracleScenario oracleMenuFrameScenarios[] = {
    {"menu_pixels_raised", ScMenuPixelsRaised},
};

static int OracleRunMenuFrame(const char* name) {
    return OracleRunScenarioIn(oracleMenuFrameScenarios, sizeof oracleMenuFrameScenarios / sizeof oracleMenuFrameScenarios[0],
                               name);
}
