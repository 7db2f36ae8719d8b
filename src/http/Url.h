// Cutting a URL into the host, port and path the internet library wants. Plain text searches, not a
// general URL parser: they know the lower-case "http://" prefix, the slash that ends the host part
// and the first colon inside it.
#pragma once

#include "util/Text.h"

Text UrlHost(const Text& url, bool keepPort);
int UrlPort(const Text& url);
Text UrlPath(const Text& url);
