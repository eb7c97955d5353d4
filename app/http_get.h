// One HTTP GET over libcurl's easy interface, with a query composed from key/value pairs.
#pragma once

#include <cstddef>

// One query parameter. A list of them ends with a pair whose key is empty (or null).
struct QueryPair {
    const char* key;
    const char* value;
};

// Longest address, query included, that a request may use.
constexpr std::size_t kMaxAddressLength = 2082;
// Largest body a request accepts; a longer body fails the request. Every answer the
// program expects is a few dozen bytes, so this only stops a broken or hostile server
// from filling memory.
constexpr std::size_t kMaxResponseBody = 64 * 1024;

// Sends GET `address`?key=value&... (values percent-encoded by libcurl) and copies at
// most size - 1 bytes of the body, terminated, into `response`. `timeoutSeconds` bounds
// the whole transfer (0: no bound). Redirections are not followed and the status code
// is not examined. Returns 1 when the transfer completed, 0 otherwise (including an
// address or query longer than kMaxAddressLength, and a body over kMaxResponseBody).
// `response` is left empty unless a body was received.
int httpGet(char* response, std::size_t size, const char* address, long timeoutSeconds,
            const QueryPair* pairs);
