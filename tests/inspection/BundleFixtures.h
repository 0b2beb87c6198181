#pragma once

#include "platform/plist/PlistValue.h"
#include "tests/support/TestFolder.h"

#include <QString>
#include <initializer_list>
#include <utility>

namespace bw::test {

using plist::PlistArray;
using plist::PlistDictionary;
using plist::PlistValue;

inline PlistValue text(const char* value) {
    return PlistValue(QString::fromUtf8(value));
}
inline PlistValue number(qint64 value) {
    return PlistValue(value);
}

inline PlistDictionary
dictionary(std::initializer_list<std::pair<const char*, PlistValue>> entries) {
    PlistDictionary result;
    for (const auto& [key, value] : entries) {
        result.insert(QString::fromUtf8(key), value);
    }
    return result;
}

inline PlistValue
dictionaryValue(std::initializer_list<std::pair<const char*, PlistValue>> entries) {
    return PlistValue(dictionary(entries));
}

// The Info.plist of a small iOS app with an executable named Demo.
inline PlistDictionary iosInfo() {
    return dictionary({{"CFBundleName", text("Demo")},
                       {"CFBundleIdentifier", text("com.example.demo")},
                       {"CFBundleShortVersionString", text("1.2")},
                       {"CFBundleVersion", text("42")},
                       {"CFBundleExecutable", text("Demo")},
                       {"DTPlatformName", text("iphoneos")},
                       {"MinimumOSVersion", text("16.0")},
                       {"UIDeviceFamily", PlistValue(PlistArray{number(1), number(2)})}});
}

// An iOS bundle at `relativePath` with that Info.plist and an executable; returns its path.
inline QString writeIosBundle(const TestFolder& folder, const QString& relativePath,
                              const PlistDictionary& info = iosInfo()) {
    folder.write(relativePath + QStringLiteral("/Info.plist"), PlistValue(info).toXml());
    folder.write(relativePath + QStringLiteral("/Demo"), "\xcf\xfa\xed\xfe", 0755);
    return folder.path() + u'/' + relativePath;
}

} // namespace bw::test
