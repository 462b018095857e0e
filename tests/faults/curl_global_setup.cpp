#include "web/curl_transfer.h"

// The test program's counterpart of main()'s set-up: before any test thread starts.
static const lumora::CurlGlobal curlGlobal;
