// Temporary until the libcurl library lands.
#include "session/inet/internet_api.h"
namespace inet {
std::unique_ptr<InternetApi> CreateCurlInternet() { return nullptr; }
}
