// WinInet over libcurl.
#include "win/wininet/wininet.h"

#include <curl/curl.h>

#include <QString>
#include <QStringList>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

namespace {

constexpr size_t MaxAnswer = 16u << 20;
constexpr long MaxRedirects = 5;

struct Session {
    std::string agent;
    long connectMs = 10000;
    long totalMs = 10000;
};

struct Request {
    std::string body;
    size_t read = 0;
    long status = 0;
};

// Handles are the objects themselves; a tag tells them apart.
struct Handle {
    enum Kind { KSession, KRequest } kind;
    Session session;
    Request request;
};

std::mutex authoritiesLock;
std::string authorities;

std::string Utf8(LPCWSTR s, size_t n) { return QString::fromUtf16(s, qsizetype(n)).toStdString(); }
std::string Utf8(LPCWSTR s) { return s ? QString::fromUtf16(s).toStdString() : std::string(); }

Handle* Of(HINTERNET h, Handle::Kind kind) {
    auto* handle = static_cast<Handle*>(h);
    if (!handle || handle->kind != kind) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return handle;
}

size_t Collect(char* data, size_t size, size_t count, void* user) {
    auto* body = static_cast<std::string*>(user);
    const size_t n = size * count;
    if (body->size() + n > MaxAnswer) return 0; // too large: the transfer stops with an error
    body->append(data, n);
    return n;
}

DWORD ErrorOf(CURLcode code) {
    switch (code) {
    case CURLE_OPERATION_TIMEDOUT: return ERROR_INTERNET_TIMEOUT;
    case CURLE_URL_MALFORMAT: return ERROR_INTERNET_INVALID_URL;
    case CURLE_UNSUPPORTED_PROTOCOL: return ERROR_INTERNET_UNRECOGNIZED_SCHEME;
    case CURLE_COULDNT_RESOLVE_HOST: return ERROR_INTERNET_NAME_NOT_RESOLVED;
    case CURLE_COULDNT_CONNECT: return ERROR_INTERNET_CANNOT_CONNECT;
    case CURLE_TOO_MANY_REDIRECTS: return ERROR_HTTP_REDIRECT_NEEDS_CONFIRMATION;
    case CURLE_PEER_FAILED_VERIFICATION: return ERROR_INTERNET_SEC_INVALID_CERT;
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_SSL_CACERT_BADFILE: return ERROR_INTERNET_SEC_CERT_ERRORS;
    case CURLE_RECV_ERROR:
    case CURLE_SEND_ERROR:
    case CURLE_GOT_NOTHING: return ERROR_INTERNET_CONNECTION_RESET;
    default: return ERROR_INTERNET_INTERNAL_ERROR;
    }
}

const bool curlReady = [] { return curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK; }();

} // namespace

extern "C" {

HINTERNET WINAPI InternetOpenW(LPCWSTR agent, DWORD, LPCWSTR, LPCWSTR, DWORD) {
    if (!curlReady) {
        SetLastError(ERROR_INTERNET_INTERNAL_ERROR);
        return nullptr;
    }
    auto* h = new Handle{Handle::KSession, {}, {}};
    h->session.agent = Utf8(agent);
    return h;
}

BOOL WINAPI InternetSetOptionW(HINTERNET h, DWORD option, LPVOID buffer, DWORD length) {
    Handle* s = Of(h, Handle::KSession);
    if (!s) return FALSE;
    if (!buffer || length < sizeof(DWORD)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const long ms = long(*static_cast<DWORD*>(buffer));
    if (option == INTERNET_OPTION_CONNECT_TIMEOUT) s->session.connectMs = ms;
    else if (option == INTERNET_OPTION_RECEIVE_TIMEOUT) s->session.totalMs = ms;
    else {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return TRUE;
}

HINTERNET WINAPI InternetOpenUrlW(HINTERNET h, LPCWSTR url, LPCWSTR headers, DWORD headersLength, DWORD, DWORD_PTR) {
    Handle* s = Of(h, Handle::KSession);
    if (!s) return nullptr;
    const std::string address = Utf8(url);
    if (address.rfind("http://", 0) != 0 && address.rfind("https://", 0) != 0) {
        SetLastError(address.find("://") == std::string::npos ? ERROR_INTERNET_INVALID_URL : ERROR_INTERNET_UNRECOGNIZED_SCHEME);
        return nullptr;
    }
    CURL* curl = curl_easy_init();
    if (!curl) {
        SetLastError(ERROR_INTERNET_INTERNAL_ERROR);
        return nullptr;
    }
    auto* r = new Handle{Handle::KRequest, {}, {}};
    curl_slist* list = nullptr;
    if (headers) {
        const size_t n = headersLength == DWORD(-1) ? std::char_traits<char16_t>::length(headers) : headersLength;
        const QString all = QString::fromStdString(Utf8(headers, n));
        for (const QString& line : all.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts))
            list = curl_slist_append(list, line.toStdString().c_str());
    }
    curl_easy_setopt(curl, CURLOPT_URL, address.c_str());
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, MaxRedirects);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, s->session.connectMs);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, s->session.totalMs);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);
    {
        std::lock_guard guard(authoritiesLock);
        if (!authorities.empty()) curl_easy_setopt(curl, CURLOPT_CAINFO, authorities.c_str());
    }
    if (!s->session.agent.empty()) curl_easy_setopt(curl, CURLOPT_USERAGENT, s->session.agent.c_str());
    if (list) curl_easy_setopt(curl, CURLOPT_HTTPHEADER, list);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, Collect);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &r->request.body);
    const CURLcode code = curl_easy_perform(curl);
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &r->request.status);
    curl_slist_free_all(list);
    curl_easy_cleanup(curl);
    if (code != CURLE_OK) {
        delete r;
        SetLastError(ErrorOf(code));
        return nullptr;
    }
    return r;
}

BOOL WINAPI InternetReadFile(HINTERNET h, LPVOID buffer, DWORD size, LPDWORD done) {
    Handle* r = Of(h, Handle::KRequest);
    if (!r || !done || (size && !buffer)) {
        if (r) SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    Request& q = r->request;
    const size_t n = std::min<size_t>(size, q.body.size() - q.read);
    if (n) std::memcpy(buffer, q.body.data() + q.read, n);
    q.read += n;
    *done = DWORD(n);
    return TRUE;
}

DWORD WINAPI TwInternetStatus(HINTERNET h) {
    Handle* r = Of(h, Handle::KRequest);
    return r ? DWORD(r->request.status) : 0;
}

BOOL WINAPI InternetCloseHandle(HINTERNET h) {
    auto* handle = static_cast<Handle*>(h);
    if (!handle) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    delete handle;
    return TRUE;
}

void WINAPI TwInternetSetCertificateAuthorities(LPCWSTR file) {
    std::lock_guard guard(authoritiesLock);
    authorities = Utf8(file);
}

} // extern "C"
