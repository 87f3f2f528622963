// HTTP as the main window sees it: the network layer's HTTP client with the
// program's member-list settings (HTTP/1.0, redirects followed, receives of
// at most 1024 bytes). It runs on the user-interface thread; the window's
// anti-freeze keeps the window working while a fetch waits.
#pragma once

#include <string>

#include "app/NetworkLinks.h"
#include "net/HttpClient.h"

namespace skimby {

class THttpClientFetcher final : public TTextFetcher {
  public:
    THttpClientFetcher();

    // Raises EConnClosedGracefully when Abort was called during the fetch,
    // whatever the client made of the closed connection.
    std::string FetchText(const std::string& url) override;
    // Closes the fetch's connection from inside its wait and refuses any
    // redirect still to come, so the fetch ends at its next wait slice.
    void Abort() override;

    THttpClient& Client() { return Http; }

  private:
    THttpClient Http;
    bool Aborted = false;
};

}  // namespace skimby
