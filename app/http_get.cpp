// HTTP GET on libcurl's easy interface: query composition, bounded body, copy-out.
#include "http_get.h"

#include <curl/curl.h>

#include <cstring>
#include <string>

namespace {

// Appends every block of the body; refusing a block makes libcurl end the
// transfer with a write error, which we report as a failed request.
size_t collectBody(char* data, size_t size, size_t count, void* userData) {
    auto* body = static_cast<std::string*>(userData);
    const size_t length = size * count;
    if (length > kMaxResponseBody - body->size()) {
        return 0;
    }
    body->append(data, length);
    return length;
}

// Composes "key=value&key=value..." with every value escaped by libcurl.
// Returns false when an escape fails or the query would not fit.
bool composeQuery(CURL* curl, const QueryPair* pairs, std::string& query) {
    for (const QueryPair* pair = pairs; pair && pair->key && pair->key[0]; ++pair) {
        const char* value = pair->value ? pair->value : "";
        char* escaped = curl_easy_escape(curl, value, static_cast<int>(std::strlen(value)));
        if (!escaped) {
            return false;
        }
        if (!query.empty()) {
            query += '&';
        }
        query += pair->key;
        query += '=';
        query += escaped;
        curl_free(escaped);
        if (query.size() > kMaxAddressLength) {
            return false;
        }
    }
    return true;
}

// Builds the address with its query and runs the transfer on an easy handle.
bool performRequest(CURL* curl, const char* address, long timeoutSeconds,
                    const QueryPair* pairs, std::string& body) {
    std::string query;
    if (!composeQuery(curl, pairs, query)) {
        return false;
    }
    std::string url = address;
    if (!query.empty()) {
        url += '?';
        url += query;
    }
    // A cut address would ask the server something else than we mean: refuse it.
    if (url.size() > kMaxAddressLength) {
        return false;
    }
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    // The request runs on a worker thread: time-outs must not rely on signals.
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    if (timeoutSeconds != 0) {
        curl_easy_setopt(curl, CURLOPT_TIMEOUT, timeoutSeconds);
    }
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, collectBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &body);
    return curl_easy_perform(curl) == CURLE_OK;
}

} // namespace

int httpGet(char* response, std::size_t size, const char* address, long timeoutSeconds,
            const QueryPair* pairs) {
    // The caller may reuse one buffer for several requests: never leave an older
    // answer in it for this request's.
    if (response && size > 0) {
        response[0] = '\0';
    }
    if (!address) {
        return 0;
    }
    if (curl_global_init(CURL_GLOBAL_ALL) != CURLE_OK) {
        return 0;
    }
    bool completed = false;
    std::string body;
    if (CURL* curl = curl_easy_init()) {
        completed = performRequest(curl, address, timeoutSeconds, pairs, body);
        curl_easy_cleanup(curl);
    }
    curl_global_cleanup();
    if (!completed) {
        return 0;
    }
    if (response && size > 0 && !body.empty()) {
        const size_t length = body.size() < size - 1 ? body.size() : size - 1;
        std::memcpy(response, body.data(), length);
        response[length] = '\0';
    }
    return 1;
}
