#include <QApplication>
#include <gtest/gtest.h>

void FailUnansweredModalWaits();

namespace {

// A test that waited for a modal window which never came fails as it ends, rather than
// leaving the wait to fire during a later test.
class ModalWaitCheck final : public ::testing::EmptyTestEventListener
{
    void OnTestEnd(const ::testing::TestInfo &) override { FailUnansweredModalWaits(); }
};

} // namespace

int main(int argc, char **argv)
{
    // Discovery and runs behave alike with or without a display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new ModalWaitCheck);
    return RUN_ALL_TESTS();
}
