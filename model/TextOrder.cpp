#include "model/TextOrder.h"

namespace bw {

namespace {

char32_t nextScalar(const QString& text, qsizetype& index) {
    const QChar unit = text[index++];
    if (unit.isHighSurrogate() && index < text.size() && text[index].isLowSurrogate()) {
        return QChar::surrogateToUcs4(unit, text[index++]);
    }
    return unit.unicode();
}

} // namespace

bool scalarLess(const QString& lhs, const QString& rhs) {
    qsizetype left = 0;
    qsizetype right = 0;
    while (left < lhs.size() && right < rhs.size()) {
        const char32_t a = nextScalar(lhs, left);
        const char32_t b = nextScalar(rhs, right);
        if (a != b) {
            return a < b;
        }
    }
    return left == lhs.size() && right < rhs.size();
}

} // namespace bw
