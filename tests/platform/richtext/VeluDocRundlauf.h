#pragma once
// A velu-doc round trip driven by bytes (the fuzz target and its seeded test share it): the bytes make a
// document of paragraphs and formatted runs, fields among them, holding any code point (unpaired surrogate
// halves too); it is written, stored as UTF-8, read into a new document and compared character by character
// with what the format promises: the same paragraphs, the same text, fields and styles, except that a
// character XML has no place for is a blank and a field's empty-field marks are dropped (an empty field
// reads back with one).
#include "platform/richtext/VeluDoc.h"

#include <QFont>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <cstddef>
#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

namespace velu_doc_rundlauf {

using velu::richtext::EmptyFieldMark;
using velu::richtext::FieldProperty;

class Bytes {
public:
    Bytes(const uint8_t* data, size_t size) : p_(data), end_(data + size) {}
    bool Leer() const { return p_ == end_; }
    uint32_t Next() { return p_ == end_ ? 0 : *p_++; }

private:
    const uint8_t* p_;
    const uint8_t* end_;
};

// Characters that XML, QTextDocument or the format treat apart, chosen more often than chance would.
inline const char32_t Besondere[] = {
    0x0,    0x1,    0x8,    0x9,    0xA,    0xB,    0xC,    0xD,    0x1F,   0x20,    0x7F,    0x85,
    0xA0,   '&',    '<',    '>',    '"',    '\'',   ']',    0x200B, 0x2028, 0x2029,  0xFDD0,  0xFDD1,
    0xFEFF, 0xFFFC, 0xFFFD, 0xFFFE, 0xFFFF, 0xD800, 0xDBFF, 0xDC00, 0xDFFF, 0x10000, 0x1FFFE, 0x10FFFF};

struct Stil {
    int feld = 0;
    bool fett = false, kursiv = false, unterstrichen = false;
    bool operator==(const Stil&) const = default;
};

inline Stil StilVon(const QTextCharFormat& f) {
    Stil s;
    s.feld = f.intProperty(FieldProperty);
    s.fett = f.hasProperty(QTextFormat::FontWeight) && f.fontWeight() >= QFont::Bold;
    s.kursiv = f.fontItalic();
    s.unterstrichen = f.fontUnderline();
    return s;
}

struct Zeichen {
    char16_t c;
    Stil stil;
    bool operator==(const Zeichen&) const = default;
};
using Absaetze = std::vector<std::vector<Zeichen>>;

inline Absaetze Lies(const QTextDocument& doc) {
    Absaetze out;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        std::vector<Zeichen> z;
        for (auto it = b.begin(); !it.atEnd(); ++it)
            for (QChar c : it.fragment().text())
                z.push_back({c.unicode(), StilVon(it.fragment().charFormat())});
        out.push_back(std::move(z));
    }
    return out;
}

// What XML 1.0 admits in text.
inline bool XmlZeichen(char32_t c) {
    return c == 0x9 || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) || c >= 0x10000;
}

// The document as it must read back: blanks for what XML refuses; in each run of one style that is a field,
// the empty-field marks dropped, and one mark where nothing is left.
inline Absaetze Erwartet(const Absaetze& vorher) {
    Absaetze out;
    for (const auto& absatz : vorher) {
        std::vector<Zeichen> z;
        for (size_t i = 0; i < absatz.size();) {
            size_t ende = i;
            while (ende < absatz.size() && absatz[ende].stil == absatz[i].stil)
                ++ende;
            const Stil stil = absatz[i].stil;
            const size_t anfang = z.size();
            for (size_t k = i; k < ende; ++k) {
                const char16_t c = absatz[k].c;
                const bool paar =
                    QChar::isHighSurrogate(c) && k + 1 < ende && QChar::isLowSurrogate(absatz[k + 1].c);
                if (paar) {
                    z.push_back({c, stil});
                    z.push_back({absatz[++k].c, stil});
                } else if (stil.feld && c == EmptyFieldMark) {
                    continue;
                } else {
                    z.push_back({QChar::isSurrogate(c) || !XmlZeichen(c) ? u' ' : c, stil});
                }
            }
            if (stil.feld && z.size() == anfang) z.push_back({EmptyFieldMark, stil});
            i = ende;
        }
        out.push_back(std::move(z));
    }
    return out;
}

inline std::string Zeige(const std::vector<Zeichen>& z) {
    std::string s;
    for (const Zeichen& c : z)
        s += QString::asprintf("%04X/%d ", unsigned(c.c), c.stil.feld).toStdString();
    return s;
}

// Empty when the document read back as promised, else where it did not.
inline std::string Rundlauf(const uint8_t* data, size_t size) {
    Bytes b(data, size);
    QTextDocument doc;
    QTextCursor c(&doc);
    while (!b.Leer()) {
        const uint32_t op = b.Next();
        if (op % 8 == 0) {
            QTextBlockFormat f;
            f.setAlignment(op & 8 ? Qt::AlignRight : Qt::AlignLeft);
            c.insertBlock(f);
            continue;
        }
        const uint32_t art = b.Next();
        QTextCharFormat f;
        if (art & 1) f.setFontWeight(QFont::Bold);
        if (art & 2) f.setFontItalic(true);
        if (art & 4) f.setFontUnderline(true);
        if (art & 8) f.setProperty(FieldProperty, int(1 + (b.Next() << 4 | (art >> 4))));
        QString text;
        const uint32_t laenge = 1 + b.Next() % 24;
        for (uint32_t i = 0; i < laenge && !b.Leer(); ++i) {
            const uint32_t w = b.Next();
            char32_t cp;
            if (w < 96)
                cp = Besondere[w % std::size(Besondere)];
            else if (w < 192)
                cp = 0x20 + w; // ordinary Latin-1 text
            else
                cp = ((w - 192) << 16 | b.Next() << 8 | b.Next()) % 0x110000;
            if (QChar::requiresSurrogates(cp)) {
                text += QChar(QChar::highSurrogate(cp));
                text += QChar(QChar::lowSurrogate(cp));
            } else {
                text += QChar(char16_t(cp));
            }
        }
        c.insertText(text, f);
    }
    const Absaetze vorher = Lies(doc);
    const QString xml = velu::richtext::WriteVeluDoc(doc);
    QTextDocument neu;
    QString error;
    if (!velu::richtext::PasteVeluDoc(neu, QString::fromUtf8(xml.toUtf8()), &error))
        return "not read back: " + error.toStdString() + "\n" + xml.toStdString();
    const Absaetze soll = Erwartet(vorher), ist = Lies(neu);
    if (soll.size() != ist.size())
        return "paragraphs " + std::to_string(ist.size()) + " instead of " + std::to_string(soll.size()) +
               "\n" + xml.toStdString();
    for (size_t i = 0; i < soll.size(); ++i)
        if (soll[i] != ist[i])
            return "paragraph " + std::to_string(i) + ":\n  expected " + Zeige(soll[i]) + "\n  read     " +
                   Zeige(ist[i]) + "\n" + xml.toStdString();
    return {};
}

} // namespace velu_doc_rundlauf
