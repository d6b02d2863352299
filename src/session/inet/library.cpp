#include "session/inet/internet_api.h"

namespace inet {
namespace {

InternetApi*& replacement()
{
    static InternetApi* api = nullptr;
    return api;
}

}  // namespace

InternetApi& Library()
{
    if (replacement())
        return *replacement();
    static std::unique_ptr<InternetApi> real = CreateCurlInternet();
    return *real;
}

void SetLibrary(InternetApi* api) { replacement() = api; }

}  // namespace inet
