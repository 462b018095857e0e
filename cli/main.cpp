#include <iostream>

#include "cli/cli_app.h"
#include "web/curl_transfer.h"

int main(int argc, char** argv) {
    lumora::BlockStopSignals();
    lumora::CurlGlobal curl;
    return lumora::RunCli(argc, argv, std::cout, std::cerr);
}
