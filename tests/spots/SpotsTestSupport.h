// Shared pieces of the spot tests: the decimal mark the program runs with,
// and fakes for the sound service and the status bar.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "spots/ReceivedText.h"
#include "support/CommaMarkTest.h"

namespace skimby {

struct TFakeSound {
    struct TCall {
        std::string Name;
        void* Module;
        unsigned Flags;
    };
    std::vector<TCall> Calls;
    bool Result = true;

    TSoundService Service() {
        return [this](const char* name, void* module, unsigned flags) {
            Calls.push_back({name, module, flags});
            return Result;
        };
    }
};

struct TStatusRecorder : TStatusPanel {
    std::vector<std::string> Texts;  // panel 0 only; other panels are not used here
    void SetPanelText(int panel, std::string_view text) override {
        EXPECT_EQ(panel, 0);
        Texts.emplace_back(text);
    }
};

}  // namespace skimby
