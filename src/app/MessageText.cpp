#include "app/MessageText.h"

namespace skimby {

std::string ErrorBoxText(std::string_view message) {
    std::string text(message);
    if (!text.empty() && static_cast<unsigned char>(text.back()) > '.') text += '.';
    return text;
}

std::string ApplicationTitle(std::string_view programFileName) {
    std::string title(programFileName.substr(0, programFileName.find('.')));
    // ASCII letters only: the name's other bytes may belong to a multi-byte
    // character of the file system's encoding.
    for (std::size_t i = 1; i < title.size(); ++i) {
        if (title[i] >= 'A' && title[i] <= 'Z') title[i] = static_cast<char>(title[i] - 'A' + 'a');
    }
    return title;
}

}  // namespace skimby
