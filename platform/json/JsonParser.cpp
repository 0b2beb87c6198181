#include "platform/json/JsonParser.h"

#include "platform/core/InParts.h"
#include "platform/json/JsonEscapes.h"
#include "platform/json/JsonReader.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <optional>
#include <thread>

namespace bw::json {
namespace {

// As deep as documents may nest; deeper ones would only exhaust the stack.
constexpr int maximumDepth = 1024;

// An array at the top of a document (a report history, say) that is at least this long is parsed
// in parts on several threads; shorter ones are not worth the threads.
constexpr std::ptrdiff_t shortestArrayInParts = 256 * 1024;
constexpr std::size_t fewestElementsPerPart = 16;
constexpr std::ptrdiff_t fewestBytesPerPart = 32 * 1024;

bool isSpace(char c) {
    return c == ' ' || c == '\n' || c == '\r' || c == '\t';
}

// Whether the 8 bytes from `at` are all spaces: pretty-printed documents are indented with runs
// of them, which are skipped 8 at a time.
bool eightSpacesAt(const char* at) {
    std::uint64_t eight = 0;
    std::memcpy(&eight, at, sizeof eight);
    return eight == 0x2020202020202020;
}

// Where to split an array whose elements each start a line of their own, as a pretty-printed
// history's do ("[\n    {…},\n    {…}]"): at the first ',' after each of a few evenly spaced
// places that is followed by a line break and the first element's exact indentation. A string
// may hold that too, so the parts must prove the split by parsing to their ends. Nothing when
// the elements do not start lines.
std::optional<std::vector<const char*>> guessedSeparators(const char* at, const char* end,
                                                          std::size_t parts) {
    const char* element = at;
    while (element != end && isSpace(*element)) {
        ++element;
    }
    const QByteArrayView indentation(at, element - at);
    if (!indentation.contains('\n')) {
        return std::nullopt;
    }
    const QByteArray separator = ',' + indentation.toByteArray();
    const QByteArrayView bytes(at, end - at);
    std::vector<const char*> separators;
    for (std::size_t part = 1; part < parts; ++part) {
        qsizetype from = qsizetype(std::size_t(bytes.size()) * part / parts);
        if (!separators.empty()) {
            from = std::max(from, qsizetype(separators.back() - at + 1));
        }
        // A deeper line only starts with the same indentation.
        qsizetype found = bytes.indexOf(separator, from);
        while (found >= 0 && found + separator.size() < bytes.size() &&
               isSpace(bytes[found + separator.size()])) {
            found = bytes.indexOf(separator, found + 1);
        }
        if (found < 0) {
            break;
        }
        separators.push_back(at + found);
    }
    return separators;
}

// Where each element of the array whose '[' is just before `at` ends: at its ',' or, for the
// last, at the array's ']'. Only strings and brackets are followed, so malformed bytes may give
// wrong ends; nothing when the array is not closed before `end`.
std::optional<std::vector<const char*>> elementEnds(const char* at, const char* end) {
    // The bytes the scan looks at; it skips the others, mostly indentation, as fast as it can.
    static constexpr std::array<bool, 256> stops = [] {
        std::array<bool, 256> table{};
        for (const char c : {'"', '[', ']', '{', '}', ','}) {
            table[static_cast<unsigned char>(c)] = true;
        }
        return table;
    }();
    std::vector<const char*> ends;
    int depth = 0;
    for (; at != end; ++at) {
        while (!stops[static_cast<unsigned char>(*at)]) {
            if (end - at > 8 && eightSpacesAt(at)) {
                at += 8;
            } else if (++at == end) {
                return std::nullopt;
            }
        }
        switch (*at) {
        case '"':
            // To the quote that closes the string: one after an even run of backslashes.
            for (;;) {
                const char* quote =
                    static_cast<const char*>(std::memchr(at + 1, '"', std::size_t(end - at - 1)));
                if (quote == nullptr) {
                    return std::nullopt;
                }
                const char* escape = quote;
                while (*(escape - 1) == '\\') {
                    --escape;
                }
                at = quote;
                if ((quote - escape) % 2 == 0) {
                    break;
                }
            }
            break;
        case '[':
        case '{':
            ++depth;
            break;
        case ']':
        case '}':
            if (depth-- == 0) {
                ends.push_back(at);
                return ends;
            }
            break;
        case ',':
            if (depth == 0) {
                ends.push_back(at);
            }
            break;
        default:
            break;
        }
    }
    return std::nullopt;
}

class Parser {
public:
    // Strings view the bytes, so bytes that only borrow their storage (fromRawData) are copied.
    explicit Parser(const QByteArray& bytes, QStringView takenKey = {},
                    const ElementRuns* runs = nullptr)
        : source_(bytes.capacity() < bytes.size() ? QByteArray(bytes.constData(), bytes.size())
                                                  : bytes),
          begin_(source_.constData()), at_(begin_), end_(begin_ + source_.size()),
          takenKey_(takenKey), runs_(runs) {}

    // A parser of a part of the bytes another one parses, which keep them.
    Parser(const char* begin, const char* at, const char* end)
        : begin_(begin), at_(at), end_(end), inParts_(false) {}

    Document document() {
        if (end_ - at_ >= 3 && QByteArrayView(at_, 3) == "\xEF\xBB\xBF") {
            at_ += 3;
        }
        skipSpace();
        if (at_ == end_ || (*at_ != '{' && *at_ != '[')) {
            fail("an object or an array was expected");
        }
        Value root = value(0, true);
        skipSpace();
        if (at_ != end_) {
            fail("garbage after the document");
        }
        return Document(std::move(root), std::move(source_));
    }

private:
    [[noreturn]] void fail(const char* reason) const {
        throw DecodeError({}, QStringLiteral("The data is not valid JSON (%1 at offset %2).")
                                  .arg(QLatin1StringView(reason))
                                  .arg(at_ - begin_));
    }

    void skipSpace() {
        while (at_ != end_ && isSpace(*at_)) {
            ++at_;
            while (end_ - at_ >= 8 && eightSpacesAt(at_)) {
                at_ += 8;
            }
        }
    }

    // Skips white space and the expected character, or fails.
    void expect(char c, const char* reason) {
        skipSpace();
        if (at_ == end_ || *at_ != c) {
            fail(reason);
        }
        ++at_;
    }

    bool consumeIf(char c) {
        skipSpace();
        if (at_ != end_ && *at_ == c) {
            ++at_;
            return true;
        }
        return false;
    }

    // `take`: the value, when an array, is the one whose elements go to the runs.
    Value value(int depth, bool take = false) {
        skipSpace();
        if (at_ == end_) {
            fail("a value was expected");
        }
        switch (*at_) {
        case '{':
            return object(depth + 1);
        case '[':
            return array(depth + 1, take && runs_ != nullptr);
        case '"':
            return text();
        case 't':
            return literal("true", Value(true));
        case 'f':
            return literal("false", Value(false));
        case 'n':
            return literal("null", Value());
        default:
            return number();
        }
    }

    Value literal(QByteArrayView word, Value result) {
        if (end_ - at_ < word.size() || QByteArrayView(at_, word.size()) != word) {
            fail("an illegal value");
        }
        at_ += word.size();
        return result;
    }

    // Elements and members gather on one stack shared by every level, then move into a vector of
    // their exact size: one allocation per array or object.
    Value array(int depth, bool take = false) {
        if (depth > maximumDepth) {
            fail("too deeply nested");
        }
        ++at_;
        std::optional<std::size_t> taken = take ? std::optional(takenArrays_++) : std::nullopt;
        if (inParts_ && depth <= 2 && end_ - at_ >= shortestArrayInParts) {
            if (std::optional<Value> parsed = arrayInParts(depth, taken)) {
                return std::move(*parsed);
            }
            // What the parts took is taken again.
            taken = take ? std::optional(takenArrays_++) : std::nullopt;
        }
        if (taken) {
            const TakeElement element = (*runs_)(*taken, 0);
            if (!consumeIf(']')) {
                do {
                    element(value(depth));
                } while (consumeIf(','));
                expect(']', "a value separator was expected");
            }
            return Value(Value::Array());
        }
        const std::size_t first = elements_.size();
        if (!consumeIf(']')) {
            do {
                Value element = value(depth);
                elements_.push_back(std::move(element));
            } while (consumeIf(','));
            expect(']', "a value separator was expected");
        }
        return Value(takeFrom(elements_, first));
    }

    Value object(int depth) {
        if (depth > maximumDepth) {
            fail("too deeply nested");
        }
        ++at_;
        const std::size_t first = members_.size();
        if (!consumeIf('}')) {
            do {
                skipSpace();
                if (at_ == end_ || *at_ != '"') {
                    fail("a key was expected");
                }
                QString name = key();
                expect(':', "a name separator was expected");
                Value member = value(depth, depth == 1 && name == takenKey_);
                members_.push_back({std::move(name), std::move(member)});
            } while (consumeIf(','));
            expect('}', "a value separator was expected");
        }
        return Value(takeFrom(members_, first));
    }

    // The array from here on, its elements parsed in parts at once, each part by a parser of its
    // own, the elements of a `taken` array by a run of its own; nothing when it is short or any
    // part fails, for the caller to parse it whole and so fail exactly as always. The first part
    // starts at the first element, and each part must end exactly at the separator where the
    // next one starts: so each part starts at an element, and what parses here parses the same
    // in one go.
    std::optional<Value> arrayInParts(int depth, std::optional<std::size_t> taken) {
        // One core is left to the rest of the program: a history is read while the window that
        // shows it is built.
        const std::size_t most =
            std::min<std::size_t>(std::max(2U, std::thread::hardware_concurrency()) - 1,
                                  std::size_t((end_ - at_) / fewestBytesPerPart));
        std::optional<std::vector<const char*>> separators = guessedSeparators(at_, end_, most);
        if (!separators || separators->empty()) {
            separators = exactSeparators(most);
        }
        if (!separators || separators->empty()) {
            return std::nullopt;
        }
        const char* const first = at_;
        // Part `index`, from after the separator before it to the separator after it, or for the
        // last to the array's end; the end of the array when it is the last and parses.
        const auto parse = [&](std::size_t index,
                               Value::Array& elements) -> std::optional<const char*> {
            const bool last = index == separators->size();
            const TakeElement take = taken ? (*runs_)(*taken, index) : TakeElement();
            Parser part(begin_, index == 0 ? first : (*separators)[index - 1] + 1,
                        last ? end_ : (*separators)[index]);
            for (;;) {
                Value element = part.value(depth);
                if (take) {
                    take(std::move(element));
                } else {
                    elements.push_back(std::move(element));
                }
                part.skipSpace();
                if (part.at_ == part.end_) {
                    return last ? std::nullopt : std::optional(part.at_);
                }
                if (last && *part.at_ == ']') {
                    return part.at_ + 1;
                }
                if (*part.at_++ != ',') {
                    return std::nullopt;
                }
            }
        };
        std::vector<std::optional<std::pair<Value::Array, const char*>>> parts;
        try {
            parts = inParts(separators->size() + 1, 1, [&](std::size_t begin, std::size_t end) {
                std::optional<std::pair<Value::Array, const char*>> run(std::in_place);
                for (std::size_t index = begin; index < end && run; ++index) {
                    const std::optional<const char*> ended = parse(index, run->first);
                    run->second = ended.value_or(nullptr);
                    if (!ended) {
                        run.reset();
                    }
                }
                return run;
            });
        } catch (const DecodeError&) {
            return std::nullopt;
        }
        Value::Array elements;
        for (std::optional<std::pair<Value::Array, const char*>>& part : parts) {
            if (!part) {
                return std::nullopt;
            }
            elements.reserve(elements.size() + part->first.size());
            std::move(part->first.begin(), part->first.end(), std::back_inserter(elements));
        }
        at_ = parts.back()->second;
        return Value(std::move(elements));
    }

    // Separators that split the array from here on into at most `most` parts of as many
    // elements; nothing when the array is not closed or has too few elements for parts.
    std::optional<std::vector<const char*>> exactSeparators(std::size_t most) const {
        const std::optional<std::vector<const char*>> ends = elementEnds(at_, end_);
        if (!ends || ends->size() < 2 * fewestElementsPerPart) {
            return std::nullopt;
        }
        const std::size_t parts =
            std::clamp<std::size_t>(ends->size() / fewestElementsPerPart, 1, most);
        std::vector<const char*> separators;
        for (std::size_t part = 1; part < parts; ++part) {
            separators.push_back((*ends)[ends->size() * part / parts - 1]);
        }
        return separators;
    }

    template <typename T> static std::vector<T> takeFrom(std::vector<T>& stack, std::size_t first) {
        std::vector<T> taken(std::make_move_iterator(stack.begin() + qsizetype(first)),
                             std::make_move_iterator(stack.end()));
        stack.resize(first);
        return taken;
    }

    // Documents repeat the same few keys; each is made into a QString once.
    QString key() {
        const char* start = at_ + 1;
        const char* close = start;
        while (close != end_ && *close != '"' && *close != '\\' &&
               static_cast<unsigned char>(*close) < 0x80) {
            ++close;
        }
        if (close == end_ || *close != '"') {
            return string();
        }
        const QLatin1StringView text(start, close - start);
        for (const QString& known : keys_) {
            if (known.size() == text.size() && known == text) {
                at_ = close + 1;
                return known;
            }
        }
        at_ = close + 1;
        QString made(text);
        if (keys_.size() < maximumKnownKeys) {
            keys_.push_back(made);
        }
        return made;
    }

    static bool isAscii(QByteArrayView bytes) {
        unsigned char all = 0;
        for (const char c : bytes) {
            all |= static_cast<unsigned char>(c);
        }
        return all < 0x80;
    }

    // Appends bytes without quote or backslash: ASCII widened as it is, anything else checked as
    // UTF-8 first.
    void appendRun(QString& text, QByteArrayView run) {
        if (isAscii(run)) {
            const qsizetype start = text.size();
            text.resize(start + run.size());
            QChar* out = text.data() + start;
            for (const char c : run) {
                *out++ = QChar(static_cast<unsigned char>(c));
            }
            return;
        }
        if (!run.isValidUtf8()) {
            at_ = run.data();
            fail("an illegal UTF-8 sequence");
        }
        text += textFromUtf8(run);
    }

    // The first `c` from here on, before `limit`; nullptr when there is none.
    const char* find(char c, const char* limit) const {
        return static_cast<const char*>(std::memchr(at_, c, std::size_t(limit - at_)));
    }

    // A string value as a view of its text in the document, escapes checked now and decoded
    // when the text is asked for.
    Value text() {
        const char* open = at_;
        const char* start = ++at_;
        const char* quote = find('"', end_);
        if (quote == nullptr) {
            at_ = end_;
            fail("an unterminated string");
        }
        bool escaped = false;
        for (const char* backslash = find('\\', quote);; backslash = find('\\', quote)) {
            const char* stop = backslash != nullptr ? backslash : quote;
            const QByteArrayView run(at_, stop - at_);
            if (!isAscii(run) && !run.isValidUtf8()) {
                fail("an illegal UTF-8 sequence");
            }
            at_ = stop + 1;
            if (stop == quote) {
                return Value(Value::Utf8{start, quote - start, escaped});
            }
            escaped = true;
            if (QChar::isSurrogate(unescape())) {
                // A surrogate escape, paired or not, is kept as UTF-16 would keep it.
                at_ = open;
                return Value(string());
            }
            // The escape may have taken the quote found so far.
            if (at_ > quote && (quote = find('"', end_)) == nullptr) {
                at_ = end_;
                fail("an unterminated string");
            }
        }
    }

    // A key, or a string with a surrogate escape, decoded into UTF-16.
    QString string() {
        ++at_;
        const char* quote = find('"', end_);
        if (quote == nullptr) {
            at_ = end_;
            fail("an unterminated string");
        }
        const char* backslash = find('\\', quote);
        if (backslash == nullptr) {
            // The common case, a string without escapes: one conversion.
            const QByteArrayView whole(at_, quote - at_);
            const bool ascii = isAscii(whole);
            if (!ascii && !whole.isValidUtf8()) {
                fail("an illegal UTF-8 sequence");
            }
            at_ = quote + 1;
            return ascii ? QString::fromLatin1(whole) : textFromUtf8(whole);
        }
        QString text;
        text.reserve(quote - at_);
        for (;;) {
            const char* stop = backslash != nullptr ? backslash : quote;
            appendRun(text, QByteArrayView(at_, stop - at_));
            at_ = stop + 1;
            if (stop == quote) {
                return text;
            }
            text += QChar(unescape());
            // The escape may have taken the quote found so far.
            if (at_ > quote && (quote = find('"', end_)) == nullptr) {
                at_ = end_;
                fail("an unterminated string");
            }
            backslash = find('\\', quote);
        }
    }

    // The character of the escape sequence after a backslash.
    char16_t unescape() {
        if (at_ == end_) {
            fail("an unterminated string");
        }
        const std::optional<char16_t> c = readEscape(at_, end_);
        if (!c) {
            fail("an illegal escape sequence");
        }
        return *c;
    }

    static bool isDigit(char c) { return c >= '0' && c <= '9'; }

    void skipDigits() {
        while (at_ != end_ && isDigit(*at_)) {
            ++at_;
        }
    }

    Value number() {
        const char* start = at_;
        if (at_ != end_ && *at_ == '-') {
            ++at_;
        }
        if (at_ != end_ && *at_ == '0') {
            ++at_;
        } else {
            skipDigits();
        }
        bool whole = true;
        if (at_ != end_ && *at_ == '.') {
            whole = false;
            ++at_;
            skipDigits();
        }
        if (at_ != end_ && (*at_ == 'e' || *at_ == 'E')) {
            whole = false;
            ++at_;
            if (at_ != end_ && (*at_ == '+' || *at_ == '-')) {
                ++at_;
            }
            skipDigits();
        }
        const QByteArrayView text(start, at_ - start);
        bool ok = false;
        if (whole) {
            const qint64 integer = text.toLongLong(&ok);
            if (ok) {
                return Value(integer);
            }
        }
        const double number = text.toDouble(&ok);
        if (!ok || !std::isfinite(number)) {
            fail("an illegal number");
        }
        // Whole numbers within 64 bits read as integers, however they were written.
        constexpr double limit = 9223372036854775808.0;
        if (std::trunc(number) == number && number >= -limit && number < limit) {
            return Value(qint64(number));
        }
        return Value(number);
    }

    static constexpr std::size_t maximumKnownKeys = 64;

    QByteArray source_;
    const char* begin_;
    const char* at_;
    const char* end_;
    std::vector<Value> elements_;
    std::vector<Member> members_;
    std::vector<QString> keys_;
    // Parts of the document are not split again.
    bool inParts_ = true;
    // Where the elements of the taken array go, and how many arrays were taken so far.
    QStringView takenKey_;
    const ElementRuns* runs_ = nullptr;
    std::size_t takenArrays_ = 0;
};

} // namespace

Document parseDocument(const QByteArray& bytes) {
    return Parser(bytes).document();
}

Document parseDocument(const QByteArray& bytes, QStringView key, const ElementRuns& runs) {
    return Parser(bytes, key, &runs).document();
}

} // namespace bw::json
