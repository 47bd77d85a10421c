#include "rtl/Filer.h"

#include <gtest/gtest.h>

#include <memory>

using namespace rtl;

namespace {

// A component with two properties of its own, as form components define them.
class Sample : public TPersistent {
public:
    int64_t Number = 0;
    String Text;
    bool Flag = false;
    bool writeNumber = true;

protected:
    void DefineProperties(TFiler* Filer) override {
        Filer->DefineProperty("Number", TReaderProc(this, &Sample::ReadNumber), TWriterProc(this, &Sample::WriteNumber),
                              writeNumber);
        Filer->DefineProperty("Text", TReaderProc(this, &Sample::ReadText), TWriterProc(this, &Sample::WriteText),
                              !Text.isEmpty());
    }

private:
    void ReadNumber(TReader* R) { Number = R->ReadInteger(), Flag = R->ReadBoolean(); }
    void WriteNumber(TWriter* W) { W->WriteInteger(Number), W->WriteBoolean(Flag); }
    void ReadText(TReader* R) { Text = R->ReadString(); }
    void WriteText(TWriter* W) { W->WriteString(Text); }
};

std::unique_ptr<TMemoryStream> Written(Sample& S) {
    auto stream = std::make_unique<TMemoryStream>();
    TWriter(stream.get()).WriteProperties(&S);
    stream->SetPosition(0);
    return stream;
}

} // namespace

class IntegerRoundTrip : public ::testing::TestWithParam<std::pair<int64_t, int>> {};

TEST_P(IntegerRoundTrip, UsesTheSmallestValueTypeAndReadsBack) {
    const auto [value, typeByte] = GetParam();
    Sample out;
    out.Number = value;
    out.Text = QStringLiteral("Grüße");
    const auto owner = Written(out);
    auto& stream = *owner;
    // name length, "Number", value type
    EXPECT_EQ(static_cast<const uint8_t*>(stream.Memory())[7], typeByte);
    Sample in;
    TReader(&stream).ReadProperties(&in);
    EXPECT_EQ(in.Number, value);
    EXPECT_EQ(in.Text, out.Text);
    EXPECT_EQ(stream.Position(), stream.Size());
}

INSTANTIATE_TEST_SUITE_P(Sizes, IntegerRoundTrip,
                         ::testing::Values(std::pair<int64_t, int>{0, vaInt8}, std::pair<int64_t, int>{-128, vaInt8},
                                           std::pair<int64_t, int>{128, vaInt16},
                                           std::pair<int64_t, int>{-32769, vaInt32},
                                           std::pair<int64_t, int>{int64_t(1) << 40, vaInt64}));

TEST(Filer, PropertiesWithoutDataAreNotWritten) {
    Sample out;
    out.writeNumber = false;
    const auto owner = Written(out);
    auto& stream = *owner;
    EXPECT_EQ(stream.Size(), 1); // the end of the list only
}

TEST(Filer, UnknownPropertyAndDamagedValuesRaiseReadErrors) {
    Sample out;
    out.Text = "x";
    {
        const auto owner = Written(out);
        auto& stream = *owner;
        static_cast<char*>(stream.Memory())[1] = 'M'; // "Mumber"
        Sample in;
        try {
            TReader(&stream).ReadProperties(&in);
            FAIL();
        } catch (const EReadError& e) {
            EXPECT_EQ(e.Message(), "Property Mumber does not exist");
        }
    }
    {
        const auto owner = Written(out);
        auto& stream = *owner;
        static_cast<uint8_t*>(stream.Memory())[7] = vaFalse; // an integer expected
        Sample in;
        EXPECT_THROW(TReader(&stream).ReadProperties(&in), EReadError);
    }
    {
        const auto owner = Written(out);
        auto& stream = *owner;
        stream.SetSize(stream.Size() - 2); // cut inside the text
        Sample in;
        EXPECT_THROW(TReader(&stream).ReadProperties(&in), EReadError);
    }
}
