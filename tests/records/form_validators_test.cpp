#include "framework/le_bytes.h"
#include "platform/cp1250.h"
#include "records/form_validators.h"
#include "support/box_recorder.h"
#include "support/fake_val_control.h"

#include <gtest/gtest.h>

namespace ravlo {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Form = TValueForm::Kind;

// The field as a value, or a value and its limits, of width bytes each.
Bytes Field(std::uint8_t width, std::vector<std::uint32_t> values) {
    Bytes field(width * values.size());
    for (std::size_t i = 0; i < values.size(); ++i) {
        PutLEWidth(field, i * width, width, values[i]);
    }
    return field;
}

// A value is typed in the form its text shows and checked against the raw limits in that form's
// order; a text left as shown keeps the bytes, whatever they hold.
TEST(FormEditValidator, TypedTextsAreReadInTheShownFormWithinTheFieldsRange) {
    const TValueForm duration{Form::Seconds};
    const TValueForm stamp{Form::TTCTime};
    const TValueForm gain{Form::Scaled, 3, 3};
    const TRawNumber withLimits{4, false, true};
    // Ten seconds to an hour; 1/1/2024 13:00 to 31/12/2024 00:00, whose stamp is the smaller number.
    const Bytes window = Field(4, {10, 10, 3600});
    const Bytes year = Field(4, {0x0E105B51, 0x0E105B51, 0x00005E2A});
    const struct {
        TValueForm form;
        TRawNumber raw;
        Bytes field;
        const char* shown;
        const char* typed;
        const char* refusal; // nullptr: taken
        std::uint32_t stored;
    } cases[] = {
        {duration, withLimits, window, "00:00:10", "0:1:0", nullptr, 60},
        {duration, withLimits, window, "00:00:10", "1:00:01", "čas 1:00:01 mimo meze <00:00:10;01:00:00>",
         10},
        {duration, withLimits, window, "00:00:10", "0:60:0", "Chyba v zápisu času", 10},
        {{Form::SignedSeconds}, {4, true, false}, Field(4, {0}), "+00:00:00", "-0:0:5", nullptr, 0xFFFFFFFB},
        {gain, {2, false, false}, Field(2, {1750}), "1.750", "1.8", nullptr, 1800},
        {gain,
         {2, false, false},
         Field(2, {1750}),
         "1.750",
         "65.536",
         "Hodnota 65.536 mimo meze <0.000;65.535>",
         1750},
        {gain, {2, false, false}, Field(2, {1750}), "1.750", "x", "Chyba v zápisu čísla", 1750},
        {stamp,
         {4, false, false},
         Field(4, {0x74045AD6}),
         "01/11/2023 08:15:00",
         "29/02/2024 13:30",
         nullptr,
         0x15185BC7},
        {stamp,
         {4, false, false},
         Field(4, {0x74045AD6}),
         "01/11/2023 08:15:00",
         "30/02/2024 0:0",
         "",
         0x74045AD6},
        {stamp, withLimits, year, "01/01/2024 13:00:00", "2/1/2024 0:0:0", nullptr, 0x00005B52},
        {stamp, withLimits, year, "01/01/2024 13:00:00", "1/1/2024 12:59:58",
         "Hodnota 1/1/2024 12:59:58 mimo meze <01/01/2024 13:00:00;31/12/2024 00:00:00>", 0x0E105B51},
        // A stamp beyond 2080 and a DOS time of 0 show texts that are no date; left so, they stay.
        {stamp, {4, false, false}, Field(4, {0xFFFFFFFF}), nullptr, nullptr, nullptr, 0xFFFFFFFF},
        {{Form::DosTime}, {4, false, false}, Field(4, {0}), nullptr, nullptr, nullptr, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed != nullptr ? c.typed : "unchanged");
        testing::BoxRecorder boxes;
        testing::FakeValControl edit;
        TTrFormEdit_Validator validator(c.form, c.raw);
        validator.AssignCtrl(&edit);
        Bytes field = c.field;
        validator.Load(field);
        if (c.shown != nullptr) {
            EXPECT_EQ(edit.text, c.shown);
        }
        if (c.typed != nullptr) {
            edit.text = c.typed;
        }
        ASSERT_EQ(validator.Validate(), c.refusal == nullptr) << boxes.Take();
        if (c.refusal != nullptr) {
            if (*c.refusal != '\0') {
                EXPECT_EQ(boxes.Take(), Utf8ToCp1250(c.refusal));
            }
            continue;
        }
        validator.Store();
        EXPECT_EQ(GetLEWidth(field, 0, c.raw.Width), c.stored);
        EXPECT_TRUE(std::equal(field.begin() + c.raw.Width, field.end(), c.field.begin() + c.raw.Width))
            << "the limits are never written";
    }
}

} // namespace
} // namespace ravlo
