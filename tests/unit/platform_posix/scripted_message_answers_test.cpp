#include "platform/posix/scripted_message_answers.h"

#include <gtest/gtest.h>

#include "support/temp_folder.h"

namespace kavelune::posix {
namespace {

using kavelune::testing::readFile;
using kavelune::testing::TempFolder;

MessageRequest box(MessageButtons buttons, std::string text = "text") {
    return MessageRequest{std::move(text), "Error", buttons};
}

TEST(ScriptedMessageAnswersTest, AnswersComeInOrderThenBoxesAreClosed) {
    ScriptedMessageAnswers script(" Yes ,ok,bogus", {});
    EXPECT_EQ(script.answer(box(MessageButtons::YesNo)), MessageAnswer::Yes);
    EXPECT_EQ(script.answer(box(MessageButtons::Ok)), MessageAnswer::Ok);
    EXPECT_EQ(script.answer(box(MessageButtons::YesNo)), MessageAnswer::No);
    EXPECT_EQ(script.answer(box(MessageButtons::OkCancel)), MessageAnswer::Cancel);
}

TEST(ScriptedMessageAnswersTest, AnAnswerTheBoxHasNoButtonForClosesIt) {
    ScriptedMessageAnswers script("yes,yes", {});
    EXPECT_EQ(script.answer(box(MessageButtons::OkCancel)), MessageAnswer::Cancel);
    EXPECT_EQ(script.answer(box(MessageButtons::YesNo)), MessageAnswer::Yes);
}

TEST(ScriptedMessageAnswersTest, EveryBoxIsLoggedOnOneLine) {
    TempFolder folder;
    ScriptedMessageAnswers script("no", folder / "boxes.log");
    script.answer(box(MessageButtons::YesNo, "Can't run Kavelune! Do you want to go to Jivora?"));
    script.answer(box(MessageButtons::Ok, "first\r\n\nsecond \"quoted\""));
    EXPECT_EQ(readFile(folder / "boxes.log"),
              "Error\tCan't run Kavelune! Do you want to go to Jivora?\tno\n"
              "Error\tfirst\\n\\nsecond \"quoted\"\tok\n");
}

}  // namespace
}  // namespace kavelune::posix
