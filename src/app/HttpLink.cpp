#include "app/HttpLink.h"

#include "net/NetErrors.h"

namespace skimby {

THttpClientFetcher::THttpClientFetcher() {
    UseMemberListSettings(Http);
    Http.OnRedirect = [this](THttpClient&, std::string&, int&, bool& handled) {
        if (Aborted) handled = false;
    };
}

std::string THttpClientFetcher::FetchText(const std::string& url) {
    Aborted = false;
    std::string body = Http.FetchText(url);
    // A body read until the server closes ends without an error when the
    // close was ours.
    if (Aborted) throw EConnClosedGracefully();
    return body;
}

void THttpClientFetcher::Abort() {
    Aborted = true;
    Http.Close();
}

}  // namespace skimby
