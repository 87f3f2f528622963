// URL splitting, the header line list and reading a reply's header lines
// into the header record (numbers, byte ranges, dates), on arbitrary text.
// The first piece of the input is a URL (or redirect target); every further
// piece is one header line. Besides the sanitizers' checks: the URL's pieces
// put together give the URL back, and removing a header always shortens the
// list (a remove that removes nothing would loop a caller forever).
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzInput.h"
#include "net/HeaderInfo.h"
#include "net/HeaderList.h"
#include "net/HttpDate.h"
#include "net/Uri.h"
#include "platform/Exception.h"

namespace {

using namespace skimby;

void CheckSplitUrl(std::string_view url) {
    const TUrlParts parts = TUri::SplitUrl(url);
    std::string normal(url);
    for (char& c : normal)
        if (c == '\\') c = '/';

    if (!parts.Path.starts_with('/')) fuzz::Broken("path without a leading slash");
    if (parts.Document.find('/') != std::string::npos) fuzz::Broken("slash in the document");
    if (parts.Document.find('#') != std::string::npos) fuzz::Broken("# left in the document");
    if (parts.Host.find_first_of("/:") != std::string::npos) fuzz::Broken("host with / or :");
    (void)TUri::PortNumber(parts.Port);

    // What follows the scheme and the host part.
    std::string rest = normal;
    const std::size_t scheme = normal.find("://");
    if (scheme != std::string::npos) {
        if (parts.Scheme != normal.substr(0, scheme)) fuzz::Broken("scheme");
        rest = normal.substr(scheme + 3);
        const std::size_t slash = rest.find('/');
        const std::string hostPart = rest.substr(0, slash);
        const std::string joined =
            parts.Host + (hostPart.find(':') != std::string::npos ? ":" + parts.Port : "");
        if (joined != hostPart) fuzz::Broken("host part");
        rest = slash == std::string::npos ? std::string() : rest.substr(slash + 1);
    } else if (!parts.Scheme.empty() || !parts.Host.empty() || !parts.Port.empty()) {
        fuzz::Broken("scheme, host or port without ://");
    }
    if (!rest.starts_with('/')) rest.insert(0, 1, '/');
    std::string target = parts.Path + parts.Document;
    if (target.size() < rest.size()) target += "#" + parts.Fragment;
    if (target != rest) fuzz::Broken("path, document and fragment do not give the URL back");
}

void CheckHeaderList(const THeaderList& reply) {
    static const char* const Names[] = {"Location",      "Content-Length", "Transfer-Encoding",
                                        "Content-Range", "Date",           ""};
    for (const char* name : Names) {
        THeaderList lines = reply;
        (void)lines.Value(name);
        while (lines.IndexOfName(name) >= 0) {
            const std::size_t before = lines.Count();
            lines.Remove(name);
            if (lines.Count() >= before) fuzz::Broken("remove removed nothing");
        }
    }
}

void CheckRefreshFromReply(const THeaderList& reply) {
    THeaderList lines = reply;
    THeaderInfo info;
    try {
        info.RefreshFromReply(lines);
    } catch (const EConvertError&) {
        return;  // a Content-Range that is no number: the fetch fails with it
    }
    for (double date : {info.Date, info.LastModified, info.Expires})
        if (!std::isfinite(date)) fuzz::Broken("date that is no number");
    if (info.ExtraHeaders.Count() != lines.Count()) fuzz::Broken("extra headers");
    THeaderList request;
    info.ComposeRequestLines(request);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::string_view> pieces = fuzz::Pieces(data, size);
    CheckSplitUrl(pieces[0]);
    THeaderList reply;
    for (std::size_t i = 1; i < pieces.size(); ++i) reply.Add(std::string(pieces[i]));
    CheckHeaderList(reply);
    CheckRefreshFromReply(reply);
    (void)ParseHttpDate(pieces.back());
    return 0;
}
