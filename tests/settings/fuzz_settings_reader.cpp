// Feeds the settings reader arbitrary bytes and stops at the first input that breaks what must
// hold for any file: lines stay within their bound, no more than the scan budget is read, an
// hour text converts exactly when the standard library reads it as a 32-bit number, and three
// lines written with any line end read back as written.
//
// Built with clang, libFuzzer drives it; otherwise main below runs a fixed number of inputs
// from a fixed seed, so every run checks the same inputs.

#include "settings/settings_file.h"

#include <QBuffer>

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>

namespace {

void check(bool holds, const char *what)
{
    if (!holds) {
        std::fprintf(stderr, "broken: %s\n", what);
        std::abort();
    }
}

// The hour an offset text stands for, as std::from_chars reads the number in it.
std::optional<std::int32_t> referenceOffset(QByteArrayView text)
{
    text = text.trimmed();
    if (text.startsWith('+')) {
        text = text.sliced(1);
        if (text.startsWith('-'))
            return std::nullopt;
    }
    std::int32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

SettingsLines readFrom(const QByteArray &contents)
{
    QBuffer buffer;
    buffer.setData(contents);
    buffer.open(QIODevice::ReadOnly);
    const SettingsLines lines = ReadSettingsLines(buffer);
    check(buffer.pos() <= MaxSettingsBytesScanned, "read past the scan budget");
    for (const QByteArray *line : {&lines.screenText, &lines.localText, &lines.utcText})
        check(line->size() <= MaxSettingsLineLength, "line longer than its bound");
    return lines;
}

void checkOffset(const QByteArray &text)
{
    check(ParseHourOffset(text) == referenceOffset(text), "hour text converted differently");
}

// The input's first three pieces between LFs, CRs dropped, written as a file with one kind of
// line end must come back as they were (cut to the line bound).
void checkRoundTrip(const QByteArray &input)
{
    QList<QByteArray> texts = QByteArray(input).replace('\r', QByteArray()).split('\n');
    texts.resize(3);
    static const char *const ends[] = {"\n", "\r\n", "\r"};
    const char *end = ends[input.size() % 3];
    const QByteArray file = texts[0] + end + texts[1] + end + texts[2] + end;
    if (file.size() > MaxSettingsBytesScanned)
        return;
    const SettingsLines lines = readFrom(file);
    check(lines.screenText == texts[0].left(MaxSettingsLineLength), "line 1 not read back");
    check(lines.localText == texts[1].left(MaxSettingsLineLength), "line 2 not read back");
    check(lines.utcText == texts[2].left(MaxSettingsLineLength), "line 3 not read back");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray input = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    const SettingsLines lines = readFrom(input);
    checkOffset(lines.localText);
    checkOffset(lines.utcText);
    checkOffset(input.left(64));
    checkRoundTrip(input);
    return 0;
}

#ifndef CLOCKSAVER_LIBFUZZER

namespace {

// Mostly short inputs of the bytes that matter to an hour text or a line end, often with a
// number at the edge of the 32-bit range in them; now and then a long one whose few line ends
// sit near multiples of 4 KiB, where buffered reading splits.
QByteArray randomInput(std::mt19937 &random)
{
    static constexpr char usual[] = "0123456789+- \t\r\n\r\nx\xff";
    static const char *const edges[] = {"2147483647", "2147483648",           "-2147483648",        "-2147483649",
                                        "4294967296", "00000000002147483647", "9223372036854775808"};
    auto pick = [&random](int below) { return int(random() % unsigned(below)); };
    if (pick(2000) == 0) {
        QByteArray input(16 * 1024 + pick(300 * 1024), 'x');
        for (int i = pick(8); i >= 0; --i) {
            const int at = (1 + pick(int(input.size() / 4096))) * 4096 + pick(5) - 2;
            if (at >= 0 && at < input.size())
                input[at] = "\r\n"[pick(2)];
        }
        return input;
    }
    QByteArray input(pick(40), '\0');
    for (char &c : input)
        c = pick(5) == 0 ? char(pick(256)) : usual[pick(sizeof usual - 1)];
    if (pick(4) == 0)
        input.insert(pick(int(input.size()) + 1), edges[pick(std::size(edges))]);
    return input;
}

} // namespace

int main(int argc, char **argv)
{
    const long inputs = argc > 1 ? std::atol(argv[1]) : 200000;
    std::mt19937 random(20261207);
    for (long i = 0; i < inputs; ++i) {
        const QByteArray input = randomInput(random);
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t *>(input.constData()), std::size_t(input.size()));
    }
    std::printf("%ld inputs, no fault\n", inputs);
    return 0;
}

#endif
