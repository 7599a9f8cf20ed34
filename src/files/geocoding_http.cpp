// HTTPS GET for the geocoding lookups, through libcurl. libcurl does in one call what the
// system's HTTP client did in steps (open a session, connect, open the request, send it,
// receive the answer, read the body); a failure is named after the step it stopped at, and
// each step that then could not run is named too.
#include <curl/curl.h>
#include <fmt/format.h>

#include <mutex>
#include <new>

#include "files/geocoding.h"

namespace tellurim {
namespace {

// A body beyond this is not a geocoding answer; what came before it is kept.
constexpr std::size_t kMaxResponseBytes = std::size_t{16} << 20;
// The agent the service has always seen from this system.
constexpr const char* kUserAgent = "WinHTTP call";

struct Download {
    std::string body;
    bool received = false;  // any byte of the body arrived
    bool too_long = false;
    bool out_of_memory = false;
};

std::size_t on_data(char* data, std::size_t size, std::size_t count, void* user) {
    auto& d = *static_cast<Download*>(user);
    const std::size_t n = size * count;
    d.received = true;
    // No exception may cross libcurl: a failed allocation stops the transfer, keeping what came.
    try {
        if (d.body.size() + n > kMaxResponseBytes) {
            d.body.append(data, kMaxResponseBytes - d.body.size());
            d.too_long = true;
            return 0;  // stops the transfer
        }
        d.body.append(data, n);
    } catch (const std::bad_alloc&) {
        d.out_of_memory = true;
        return 0;
    }
    return n;
}

enum class Step { Open, Connect, Request, Send, Receive, Read };

// The step a failed transfer stopped at: from the code, else from how far libcurl got (a
// time-out can strike at any step).
Step failed_step(CURL* curl, CURLcode code) {
    switch (code) {
        case CURLE_URL_MALFORMAT:
        case CURLE_UNSUPPORTED_PROTOCOL: return Step::Request;
        case CURLE_COULDNT_RESOLVE_PROXY:
        case CURLE_COULDNT_RESOLVE_HOST:
        case CURLE_COULDNT_CONNECT: return Step::Connect;
        // The TLS handshake, the certificate check included, is part of sending the request.
        case CURLE_SSL_CONNECT_ERROR:
        case CURLE_PEER_FAILED_VERIFICATION:
        case CURLE_SSL_CACERT_BADFILE:
        case CURLE_SSL_CERTPROBLEM:
        case CURLE_SSL_CIPHER:
        case CURLE_SSL_ISSUER_ERROR:
        case CURLE_SEND_ERROR: return Step::Send;
        default: break;
    }
    curl_off_t sent = 0;
    long status = 0;
    curl_easy_getinfo(curl, CURLINFO_PRETRANSFER_TIME_T, &sent);
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
    if (sent <= 0) return Step::Send;
    return status == 0 ? Step::Receive : Step::Read;
}

// The error lines of a step: the step and every later step that could not run, then the code.
std::string step_errors(Step step, CURLcode code) {
    static constexpr Str kLines[] = {Str::GeoHttpOpenError, Str::GeoHttpConnectError, Str::GeoHttpRequestError,
                                     Str::GeoHttpSendError};
    // libcurl's short text of the code carries no address, port or timing: it is the same on
    // every run and never names a key.
    const std::string why = fmt::format("{} ({})", static_cast<int>(code), curl_easy_strerror(code));
    if (step == Step::Read) return str(Str::GeoHttpReadError) + why + "\r\n";
    std::string errors;
    if (step != Step::Receive)
        for (auto i = static_cast<int>(step); i < 4; ++i) errors += str(kLines[i]) + "\r\n";
    return errors + str(Str::GeoErrorOccured) + why + "\r\n";
}

}  // namespace

HttpResult https_get(const GeocodingSettings& settings, const std::string& path_and_query) {
    static std::once_flag initialised;
    std::call_once(initialised, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
    HttpResult result;
    CURL* curl = curl_easy_init();
    if (!curl) {
        result.errors = step_errors(Step::Open, CURLE_FAILED_INIT);
        result.error = true;
        return result;
    }
    Download d;
    const std::string url = settings.endpoint + path_and_query;
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "https");
    curl_easy_setopt(curl, CURLOPT_USERAGENT, kUserAgent);
    curl_easy_setopt(curl, CURLOPT_HTTPGET, 1L);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    // The certificate is always verified; the CA file is looked at besides the system's CA
    // directory.
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);
    if (!settings.ca_file.empty()) curl_easy_setopt(curl, CURLOPT_CAINFO, settings.ca_file.c_str());
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, static_cast<long>(settings.timeout_seconds) * 1000L);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, on_data);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &d);
    const CURLcode code = curl_easy_perform(curl);
    if (d.too_long) {
        result.errors = str(Str::GeoResponseTooLong) + "\r\n";
    } else if (d.out_of_memory) {
        result.errors = d.body.empty() ? str(Str::GeoOutOfMemory) + "\r\n" : str(Str::GeoReallocFail);
        result.error = d.body.empty();
    } else if (code != CURLE_OK) {
        result.errors = step_errors(failed_step(curl, code), code);
        result.error = true;
    }
    curl_easy_cleanup(curl);
    // The answer is read as a C string, up to its first NUL.
    if (d.received || code == CURLE_OK) result.body = d.body.substr(0, d.body.find('\0'));
    return result;
}

}  // namespace tellurim
