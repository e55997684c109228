#include "platform/prompts.h"

#include "kestrova_test.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

using namespace kestrova;
using kestrova::test::KestrovaTest;

using PromptsSeam = KestrovaTest;

TEST_F(PromptsSeam, MessagesCarryTheApplicationTitleAndQueuedAnswers) {
    prompts->messageAnswers = {PromptAnswer::No};
    EXPECT_EQ(MsgBox("Overwrite?", PromptIcon::Question, PromptButtons::YesNo), PromptAnswer::No);
    EXPECT_EQ(MsgBox("Done"), PromptAnswer::Ok);
    ASSERT_EQ(prompts->shown.size(), 2u);
    EXPECT_EQ(prompts->shown[0].title, QStringLiteral("Video Kestrova 2009"));
    EXPECT_EQ(prompts->shown[0].buttons, PromptButtons::YesNo);
    EXPECT_EQ(prompts->messages(), (QStringList{"Overwrite?", "Done"}));
}

// The Qt implementation maps the buttons both ways: answer a real message box by clicking.
TEST_F(PromptsSeam, QtMessageBoxReturnsTheClickedButton) {
    const std::pair<QMessageBox::StandardButton, PromptAnswer> cases[] = {
        {QMessageBox::Yes, PromptAnswer::Yes},
        {QMessageBox::No, PromptAnswer::No},
        {QMessageBox::Cancel, PromptAnswer::Cancel},
    };
    for (const auto& [button, answer] : cases) {
        QString seenText;
        QTimer::singleShot(0, [&, button = button] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            seenText = box->text();
            box->button(button)->click();
        });
        QtPrompts qt;
        EXPECT_EQ(qt.message("Save changes?", PromptIcon::Question, PromptButtons::YesNoCancel, "Title"), answer);
        EXPECT_EQ(seenText, QStringLiteral("Save changes?"));
    }
}
