// SPDX-License-Identifier: MIT
// The folder name test in both compare modes, on names of any bytes.
#include "FuzzInput.h"
#include "search/NameMatcher.h"

#include <QFile>
#include <QStringDecoder>

using namespace vantorel;
using namespace vantorel::fuzz;

namespace
{

bool isValidUtf8(const QByteArray& bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(bytes);
    return !decoder.hasError();
}

bool isAscii(const QByteArray& bytes)
{
    for (const char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzInput input(data, size);
    const std::size_t split = input.byte();
    const QByteArray all = input.restBytes();
    const QByteArray phraseBytes = all.left(qsizetype(split));
    const QByteArray name = all.mid(qsizetype(split));
    const std::string_view nameView(name.constData(), std::size_t(name.size()));
    const QString phrase = QString::fromUtf8(phraseBytes);

    NameMatcher exact(phrase, 0);
    NameMatcher folded(phrase, 1);
    const bool exactMatch = exact.matches(nameView);
    const bool foldedMatch = folded.matches(nameView);

    if (isValidUtf8(name) && isValidUtf8(phraseBytes))
        require(exactMatch == QString::fromUtf8(name).contains(phrase),
            "exact mode is QString::contains", phrase);
    if (isAscii(name) && isAscii(phraseBytes))
        require(foldedMatch == QString::fromLatin1(name).contains(phrase, Qt::CaseInsensitive),
            "folded mode on ASCII ignores case", phrase);

    // A name always contains itself, in both modes, whatever its bytes.
    const QString nameText = QFile::decodeName(name);
    NameMatcher selfFolded(nameText, 1);
    require(selfFolded.matches(nameView), "folded mode is reflexive", nameText);
    if (isValidUtf8(name)) {
        NameMatcher selfExact(nameText, 0);
        require(selfExact.matches(nameView), "exact mode is reflexive", nameText);
    }
    // Reused on a second name, the matcher gives the same answer as a fresh one.
    require(folded.matches(nameView) == foldedMatch, "folded matcher is reusable", phrase);
    return 0;
}
