// Fuzz target over the field and text operations of KSStorageString.
//
// The input is a little program: each step takes an operation byte and the
// arguments it needs from the bytes that follow. Library errors are expected
// answers; anything else (a crash, a hang, a foreign exception, a broken
// invariant) is a finding. Built with clang it is a libFuzzer target; built
// with g++ it comes with its own driver (below) that mutates a few seeds with
// a fixed random seed for a fixed time.

#include "AutomationError.h"
#include "KSStorageString.h"
#include "LedgerixErrors.h"
#include "StorageStringFile.h"

#include <QString>
#include <QStringList>
#include <QVariant>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

class Input
{
public:
    Input(const uint8_t *data, size_t size)
        : m_data(data)
        , m_size(size)
    {}

    bool atEnd() const { return m_at >= m_size; }

    uint8_t byte() { return m_at < m_size ? m_data[m_at++] : 0; }

    qint32 number()
    {
        // Mostly small numbers, now and then a boundary.
        const uint8_t b = byte();
        switch (b % 16) {
        case 0: return -1;
        case 1: return std::numeric_limits<qint32>::max();
        case 2: return std::numeric_limits<qint32>::min();
        default: return qint32(b / 4) - 4;
        }
    }

    /// Short texts over a small alphabet that includes the tags and line breaks.
    QString text()
    {
        static const char *const pieces[] = {"<\\",
                                             "/>",
                                             "={",
                                             "};",
                                             "\r\n",
                                             "a",
                                             "b",
                                             "A",
                                             "ab",
                                             "x y",
                                             "",
                                             "\t",
                                             ",",
                                             "1",
                                             "2.5",
                                             "\xC3\xA9",
                                             "\xF0\x9F\x98\x80",
                                             "Z"};
        constexpr size_t count = sizeof(pieces) / sizeof(pieces[0]);
        const uint8_t length = byte() % 5;
        QString result;
        for (uint8_t i = 0; i < length; ++i) {
            const uint8_t b = byte();
            if (b >= 0xF0)
                result += QChar(char16_t(0xD800 + (b & 0x0F))); // an unpaired surrogate
            else
                result += QString::fromUtf8(pieces[b % count]);
        }
        return result;
    }

    bool flag() { return byte() & 1; }

private:
    const uint8_t *m_data;
    size_t m_size;
    size_t m_at = 0;
};

[[noreturn]] void finding(const char *what)
{
    std::fprintf(stderr, "storage string fuzz: %s\n", what);
    std::abort();
}

void step(KSStorageString &store, Input &in)
{
    switch (in.byte() % 24) {
    case 0: store.SetValue(in.text(), in.text(), in.flag() ? QStringLiteral("\t") : in.text()); break;
    case 1: {
        const QString name = in.text();
        const QString value = in.text();
        const QString trimmed = name.trimmed();
        if (store.SetValue(name, value) && store.OuterTagStart() == QStringLiteral("<\\")
            && store.InnerTagStart() == QStringLiteral("={") && store.InnerTagEnd() == QStringLiteral("};")
            && store.OuterTagEnd() == QStringLiteral("/>") && !trimmed.isEmpty() && name == trimmed
            && !store.Value().toString().contains(QStringLiteral("<\\") + name + QStringLiteral("={") + value
                                                  + QStringLiteral("};/>")))
            finding("a value written is not in the page");
        break;
    }
    case 2:
        store.GetValue(in.text(), in.flag() ? QStringLiteral(",") : QStringLiteral("\t"), in.flag(), in.flag());
        break;
    case 3: store.DeleteField(in.text()); break;
    case 4: store.GetFieldNames(); break;
    case 5:
        switch (in.byte() % 4) {
        case 0: store.setOuterTagStart(in.text()); break;
        case 1: store.setOuterTagEnd(in.text()); break;
        case 2: store.setInnerTagStart(in.text()); break;
        default: store.setInnerTagEnd(in.text()); break;
        }
        break;
    case 6: store.setValue(in.text()); break;
    case 7: store.InsertText(in.text(), in.number()); break;
    case 8: store.setCursor(in.number()); break;
    case 9: store.setLineNumber(in.number()); break;
    case 10: store.FetchLine(in.number(), in.flag()); break;
    case 11: store.LookFor(QStringList {in.text(), in.text()}, in.flag(), in.flag(), in.flag()); break;
    case 12:
        store.Find(in.text(), in.flag(), in.flag(), in.flag(), in.flag() ? ledgerix_SearchUp : ledgerix_SearchDown);
        break;
    case 13:
        store.Replace(in.text(), in.text(), in.flag(), in.flag(), in.flag(), in.flag(),
                      in.flag() ? ledgerix_SearchUp : ledgerix_SearchDown);
        break;
    case 14:
        store.ExtractText(in.flag() ? QVariant(in.number()) : QVariant(in.text()),
                          in.flag() ? QVariant(in.number()) : QVariant(in.text()), in.flag());
        break;
    case 15: store.Toggle(in.text(), in.text(), in.flag() ? QStringLiteral("\t") : in.text(), in.flag()); break;
    case 16: {
        store.setEncryptionKey(in.text());
        const QString before = store.Value().toString();
        store.setEncrypted(true);
        store.setEncrypted(false);
        if (store.Value().toString() != before)
            finding("unscrambling did not restore the page");
        break;
    }
    case 17: store.AddPage(in.text(), in.flag()); break;
    case 18: store.DeletePage(in.flag()); break;
    case 19: store.setPage(in.flag() ? QVariant(in.number()) : QVariant(in.text())); break;
    case 20: store.setPageName(in.text()); break;
    case 21: store.GetAndConcatenate(QStringList {in.text(), in.text()}, in.text()); break;
    case 22: {
        const QString page = store.Value().toString();
        if (StorageStringFile::decode(StorageStringFile::encode(page)) != page)
            finding("the file encoding does not round-trip");
        break;
    }
    default: LedgerixErrors::SetRaiseErrors(!LedgerixErrors::raiseErrors()); break;
    }
    // The cursor never leaves the page.
    const qint32 cursor = store.Cursor();
    if (cursor < 0 || cursor > store.Value().toString().size())
        finding("cursor outside the page");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    LedgerixErrors::SetRaiseErrors(true);
    KSStorageString store;
    Input in(data, size);
    int steps = 0;
    while (!in.atEnd() && steps++ < 64) {
        try {
            step(store, in);
        } catch (const AutomationError &) {
            // The library's answer to bad input.
        }
    }
    LedgerixErrors::SetRaiseErrors(true);
    return 0;
}

#ifndef WRENLOG_LIBFUZZER
// The g++ driver: seeded mutation of a few seeds for a fixed time, or replay
// of the files given as arguments. Usage: storage_string_fuzz [seconds] [file...]
#include <chrono>
#include <fstream>
#include <iterator>
#include <random>
#include <vector>

int main(int argc, char **argv)
{
    double seconds = 3.0;
    std::vector<std::vector<uint8_t>> corpus;
    for (int i = 1; i < argc; ++i) {
        char *end = nullptr;
        const double value = std::strtod(argv[i], &end);
        if (end && *end == 0) {
            seconds = value;
            continue;
        }
        std::ifstream file(argv[i], std::ios::binary);
        corpus.emplace_back(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
        LLVMFuzzerTestOneInput(corpus.back().data(), corpus.back().size());
    }
    corpus.push_back({1, 2, 'a', 'b', 1, 0, 3, 4, 13, 2, 'x', 'y', 1, 1, 0, 0, 16, 3, 1, 2, 3});
    corpus.push_back({6, 4, 4, 5, 4, 5, 9, 12, 8, 10, 13, 1, 0, 1, 5, 1, 1, 0, 1, 0, 14, 0, 1, 0, 1, 1});

    std::mt19937 random(20261207);
    const auto stop = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    long runs = 0;
    while (std::chrono::steady_clock::now() < stop) {
        std::vector<uint8_t> input = corpus[random() % corpus.size()];
        const int edits = 1 + int(random() % 8);
        for (int e = 0; e < edits; ++e) {
            switch (random() % 4) {
            case 0:
                if (!input.empty())
                    input[random() % input.size()] = uint8_t(random());
                break;
            case 1:
                input.insert(input.begin() + long(input.empty() ? 0 : random() % input.size()), uint8_t(random()));
                break;
            case 2:
                if (!input.empty())
                    input.erase(input.begin() + long(random() % input.size()));
                break;
            default: {
                const auto &other = corpus[random() % corpus.size()];
                input.insert(input.end(), other.begin(), other.end());
                break;
            }
            }
        }
        if (input.size() > 512)
            input.resize(512);
        LLVMFuzzerTestOneInput(input.data(), input.size());
        if (corpus.size() < 256 && random() % 16 == 0)
            corpus.push_back(input);
        ++runs;
    }
    std::printf("storage string fuzz: %ld runs in %.1f s\n", runs, seconds);
    return 0;
}
#endif
