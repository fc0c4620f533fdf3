#pragma once
// Fresh state for every window test: message boxes and file dialogs are scripted
// and recorded instead of shown.
#include <gtest/gtest.h>

#include <vector>

#include "base/qt/QtFileChooser.h"
#include "base/qt/QtNotifier.h"

namespace zorvik::test {

class GuiFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        QtNotifier::SetTestHook([this](const MessageRecord& m) { messages.push_back(m); });
        QtFileChooser::SetTestScript(&files);
    }
    void TearDown() override
    {
        QtNotifier::SetTestHook({});
        QtFileChooser::SetTestScript(nullptr);
    }

    std::vector<MessageRecord> messages;
    QtFileChooser::Script files;
};

}  // namespace zorvik::test
