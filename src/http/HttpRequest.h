// One HTTP/1.1 request, synchronously on the calling thread, through the internet library (see
// Internet.h). Window messages are dispatched before every read of the body, so a handler may run,
// and even start another request, while an answer comes in.
//
// method: the verb; empty means the library's default, GET. Only GET and POST (in any case) are
// sent. proxy: empty or blank means a direct connection. headers: extra request lines, each ended by
// CR LF; the default Accept, Referer and Accept-Language lines are appended when missing, and the
// Content-Type and Content-Length lines for a POST with data; the caller sees the result.
// responseHeaders receives the answer's raw header text. Cookies the answer sets go to the system's
// cookie store.
//
// Failure to open the request, or a verb other than GET and POST, gives 255 zero bytes, which
// HttpRequestText turns into the empty text. The HTTP status is never looked at: an error page is a
// body like any other, and a server that cannot be reached looks like an empty answer.
#pragma once

#include "util/Text.h"

Bytes HttpRequest(const Text& url, const Text& method, const Text& proxy, Text& headers, const Text& postData,
                  Text& responseHeaders);
// The body up to its first zero byte, as it came: no code-page conversion.
Text HttpRequestText(const Text& url, const Text& method, const Text& proxy, Text& headers, const Text& postData,
                     Text& responseHeaders);
