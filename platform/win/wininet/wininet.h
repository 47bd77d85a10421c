// win/wininet/wininet.h: the internet functions of the Win32 stand-in, over libcurl.
//
// Blocking, as on Windows: InternetOpenUrlW fetches the whole answer (at most 16 MiB) before it
// returns; InternetReadFile then hands it out. TLS certificates are verified, at most five redirects
// are followed, and a connection and a whole request each have 10 seconds unless the session's
// options say otherwise. As on Windows, an HTTP error page (404, 500...) is an answer like any other:
// the status does not make the open fail.
#pragma once

#include "win/kernel32/winbase.h"

extern "C" {

typedef void* HINTERNET;
typedef WORD INTERNET_PORT;

#define INTERNET_OPEN_TYPE_PRECONFIG 0
#define INTERNET_OPEN_TYPE_DIRECT 1
#define INTERNET_FLAG_RELOAD 0x80000000
#define INTERNET_FLAG_NO_CACHE_WRITE 0x04000000
#define INTERNET_FLAG_HYPERLINK 0x00000400
#define INTERNET_FLAG_SECURE 0x00800000

#define INTERNET_OPTION_CONNECT_TIMEOUT 2
#define INTERNET_OPTION_RECEIVE_TIMEOUT 6

#define ERROR_INTERNET_TIMEOUT 12002L
#define ERROR_INTERNET_INTERNAL_ERROR 12004L
#define ERROR_INTERNET_INVALID_URL 12005L
#define ERROR_INTERNET_UNRECOGNIZED_SCHEME 12006L
#define ERROR_INTERNET_NAME_NOT_RESOLVED 12007L
#define ERROR_INTERNET_CANNOT_CONNECT 12029L
#define ERROR_INTERNET_CONNECTION_RESET 12031L
#define ERROR_HTTP_REDIRECT_NEEDS_CONFIRMATION 12156L
#define ERROR_INTERNET_SEC_CERT_ERRORS 12055L
#define ERROR_INTERNET_SEC_INVALID_CERT 12169L

// The agent goes in the User-Agent header. Proxies come from the environment (http_proxy...).
HINTERNET WINAPI InternetOpenW(LPCWSTR lpszAgent, DWORD dwAccessType, LPCWSTR lpszProxy, LPCWSTR lpszProxyBypass,
                               DWORD dwFlags);
// http and https only. lpszHeaders holds extra request headers separated by CR LF; a length of -1
// (DWORD) means up to the terminator.
HINTERNET WINAPI InternetOpenUrlW(HINTERNET hInternet, LPCWSTR lpszUrl, LPCWSTR lpszHeaders, DWORD dwHeadersLength,
                                  DWORD dwFlags, DWORD_PTR dwContext);
// TRUE with 0 bytes read at the end of the answer.
BOOL WINAPI InternetReadFile(HINTERNET hFile, LPVOID lpBuffer, DWORD dwNumberOfBytesToRead,
                             LPDWORD lpdwNumberOfBytesRead);
BOOL WINAPI InternetCloseHandle(HINTERNET hInternet);
// The time-outs of a session in milliseconds (INTERNET_OPTION_CONNECT_TIMEOUT and
// INTERNET_OPTION_RECEIVE_TIMEOUT, the latter bounding the whole request); a DWORD in lpBuffer.
BOOL WINAPI InternetSetOptionW(HINTERNET hInternet, DWORD dwOption, LPVOID lpBuffer, DWORD dwBufferLength);
// The HTTP status of an opened address (the stand-in's helper), 0 when there is none.
DWORD WINAPI TwInternetStatus(HINTERNET hFile);
// A file of certificate authorities to trust in place of the system's (tests trust their own); null
// or empty goes back to the system's.
void WINAPI TwInternetSetCertificateAuthorities(LPCWSTR file);

} // extern "C"
