// The limits behind the settings page's controls where the window cannot reach them: values the engine
// got from elsewhere, and text and positions no control produces on its own.
#include "uifixture.h"

#include <limits>

namespace loopwren {
namespace {

class SettingsDecisions : public UiFixture
{
protected:
    void SetUp() override
    {
        UiFixture::SetUp();
        build();
    }
};

TEST_F(SettingsDecisions, FieldsTakeOnlyWholeNumbers)
{
    const std::pair<const char*, std::optional<double>> cases[] = {
        {"42", 42},
        {" 17 ", 17},
        {"-3", -3},
        {"+8", 8},
        {"1.5", std::nullopt},
        {"1,000", std::nullopt},
        {"", std::nullopt},
        {"1e3", std::nullopt},
        {"--1", std::nullopt},
        {"9999999999999999", std::nullopt},
    };
    for (const auto& [text, value] : cases) {
        engine->setTargetWindowWidth(5);
        EXPECT_EQ(settings->commitField(SettingsState::TargetWidth, QString::fromLatin1(text)),
                  value.has_value())
            << text;
        EXPECT_EQ(engine->targetWindowWidth(), value.value_or(5.0)) << text;
    }
    engine->setTargetWindowX(99.6);
    EXPECT_EQ(settings->targetXText(), QStringLiteral("100"));
    engine->setTargetWindowX(-0.4);
    EXPECT_EQ(settings->targetXText(), QStringLiteral("0"));
}

TEST_F(SettingsDecisions, StepperAndSliderBringOutsideValuesIntoRange)
{
    engine->setLoopCount(0);
    settings->stepLoopCount(1);
    EXPECT_EQ(engine->loopCount(), 1);
    engine->setLoopCount(20000);
    settings->stepLoopCount(-1);
    EXPECT_EQ(engine->loopCount(), 9999);

    const std::pair<double, double> moves[] = {{-50, 0},     {4.9, 0},    {5, 10},     {14.9, 10},
                                               {333.3, 330}, {995, 1000}, {1234, 1000}};
    for (const auto& [moved, speed] : moves) {
        settings->moveSpeed(moved);
        EXPECT_EQ(engine->playbackSpeed(), speed) << moved;
    }
    settings->moveSpeed(std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(engine->playbackSpeed(), 1000.0);
    EXPECT_EQ(settings->speedText(), QStringLiteral("1000%"));
}

} // namespace
} // namespace loopwren
