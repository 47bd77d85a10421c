// app/shell/Links.h: the program's own web pages (under WebSite) that the help, home-page and link
// entries open, from one table.
#pragma once
#include "rtl/Classes.h"

namespace shell {

enum TLink { lnkGuide, lnkQuickStartPolish, lnkHomePage, lnkDownload, lnkTagLibrary, lnkCount };

// The page's full address: WebSite followed by the page's path (the tag library's page is its own).
rtl::String LinkAddress(TLink Link);
// The link entries' captions, in table order.
rtl::String LinkCaption(TLink Link);

} // namespace shell
