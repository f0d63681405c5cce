#include "core/TableDeclaration.h"

#include <algorithm>
#include <cctype>

namespace velu {

namespace {

// A token of SQL: a word (keyword or bare name, in capitals), a quoted name (without its quotes, in
// capitals: names ignore case), a literal (as written) or one punctuation character.
struct Token {
    enum Kind { Word, Name, Literal, Punct } kind;
    std::string text;
    size_t begin = 0, end = 0; // where it stands in the statement
    std::string raw;           // a name as written, without quotes
};

bool WordChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '$' ||
           static_cast<unsigned char>(c) >= 0x80;
}

// nullopt for an unterminated quote or comment.
std::optional<std::vector<Token>> Tokens(std::string_view sql) {
    std::vector<Token> out;
    size_t i = 0;
    const size_t n = sql.size();
    // The text up to the closing quote q, a doubled q standing for one.
    auto quoted = [&](char q) -> std::optional<std::string> {
        std::string s;
        for (++i; i < n; ++i) {
            if (sql[i] != q) {
                s += sql[i];
            } else if (i + 1 < n && sql[i + 1] == q) {
                s += q;
                ++i;
            } else {
                ++i;
                return s;
            }
        }
        return std::nullopt;
    };
    while (i < n) {
        const char c = sql[i];
        if (std::isspace(static_cast<unsigned char>(c))) {
            ++i;
        } else if (c == '-' && i + 1 < n && sql[i + 1] == '-') {
            i = sql.find('\n', i);
            if (i == std::string_view::npos) i = n;
        } else if (c == '/' && i + 1 < n && sql[i + 1] == '*') {
            i = sql.find("*/", i + 2);
            if (i == std::string_view::npos) return std::nullopt;
            i += 2;
        } else if (c == '\'') {
            const size_t b = i;
            auto s = quoted('\'');
            if (!s) return std::nullopt;
            out.push_back({Token::Literal, "'" + *s + "'", b, i});
        } else if (c == '"' || c == '`') {
            const size_t b = i;
            auto s = quoted(c);
            if (!s) return std::nullopt;
            out.push_back({Token::Name, NameKey(*s), b, i, *s});
        } else if (c == '[') {
            const size_t e = sql.find(']', i);
            if (e == std::string_view::npos) return std::nullopt;
            const std::string s(sql.substr(i + 1, e - i - 1));
            out.push_back({Token::Name, NameKey(s), i, e + 1, s});
            i = e + 1;
        } else if (WordChar(c)) {
            const size_t b = i;
            while (i < n && WordChar(sql[i]))
                ++i;
            const bool number = std::isdigit(static_cast<unsigned char>(c));
            const std::string s(sql.substr(b, i - b));
            out.push_back({number ? Token::Literal : Token::Word, NameKey(s), b, i, s});
        } else {
            out.push_back({Token::Punct, std::string(1, c), i, i + 1});
            ++i;
        }
    }
    return out;
}

bool Is(const Token& t, const char* word) {
    return (t.kind == Token::Word || t.kind == Token::Punct) && t.text == word;
}

using Iter = std::vector<Token>::const_iterator;

std::string Join(Iter b, Iter e) {
    std::string s;
    for (auto it = b; it != e; ++it) {
        if (!s.empty()) s += ' ';
        s += it->kind == Token::Name ? "\"" + it->text + "\"" : it->text;
    }
    return s;
}

// The statement's text from b up to e, without what lies around.
std::string Written(std::string_view sql, Iter b, Iter e) {
    if (b == e) return {};
    return std::string(sql.substr(b->begin, (e - 1)->end - b->begin));
}

bool StartsTableConstraint(const Token& t) {
    for (const char* w : {"CONSTRAINT", "PRIMARY", "UNIQUE", "CHECK", "FOREIGN"})
        if (t.kind == Token::Word && t.text == w) return true;
    return false;
}

bool DeclaresKey(const std::string& decl) {
    const std::string d = " " + decl + " ";
    return d.find(" PRIMARY ") != std::string::npos || d.find(" UNIQUE ") != std::string::npos;
}

} // namespace

std::string NameKey(std::string name) {
    for (char& c : name)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return name;
}

std::optional<TableDeclaration> TableDeclaration::Parse(std::string_view sql) {
    const auto tokens = Tokens(sql);
    if (!tokens) return std::nullopt;
    const auto& t = *tokens;
    const auto open = std::find_if(t.begin(), t.end(), [](const Token& k) { return Is(k, "("); });
    if (t.size() < 3 || !Is(t[0], "CREATE") || open == t.end()) return std::nullopt;
    TableDeclaration d;
    int depth = 0;
    auto item = open + 1;
    for (auto it = open; it != t.end(); ++it) {
        if (Is(*it, "(")) {
            ++depth;
            continue;
        }
        const bool close = Is(*it, ")");
        if (close) --depth;
        if (!(depth == 1 && Is(*it, ",")) && !(close && depth == 0)) continue;
        if (item == it) return std::nullopt;
        if (StartsTableConstraint(*item)) {
            d.constraints.push_back({Join(item, it), Written(sql, item, it)});
        } else {
            std::vector<Token> rest(item + 1, it);
            // TEXT(n) declares the same as TEXT.
            if (rest.size() >= 4 && Is(rest[0], "TEXT") && Is(rest[1], "(") && Is(rest[3], ")"))
                rest.erase(rest.begin() + 1, rest.begin() + 4);
            const std::string name = NameKey(item->text);
            if (d.columns.count(name)) return std::nullopt;
            d.columns[name] = {item->raw.empty() ? item->text : item->raw, Join(rest.begin(), rest.end()),
                               Written(sql, item + 1, it)};
        }
        item = it + 1;
        if (close) {
            d.options = {Join(it + 1, t.end()), Written(sql, it + 1, t.end())};
            std::sort(d.constraints.begin(), d.constraints.end());
            return d;
        }
    }
    return std::nullopt;
}

std::string TableDeclaration::Difference(const std::string& table, const TableDeclaration& ist,
                                         const TableDeclaration& soll) {
    const std::string anders = "anders angelegt als von diesem Programm: ";
    auto shown = [](const std::string& written) {
        return written.empty() ? std::string("ohne Typ") : written;
    };
    for (const auto& [key, c] : soll.columns) {
        const auto it = ist.columns.find(key);
        if (it != ist.columns.end() && it->second.decl != c.decl)
            return "In der Tabelle " + table + " ist das Feld " + c.name + " " + anders +
                   shown(it->second.written) + " statt " + shown(c.written) + ".";
    }
    for (const auto& [key, c] : ist.columns)
        if (!soll.columns.count(key) && DeclaresKey(c.decl))
            return "Die Tabelle " + table + " ist " + anders + c.name + " " + c.written + ".";
    for (const auto& c : ist.constraints)
        if (!std::binary_search(soll.constraints.begin(), soll.constraints.end(), c))
            return "Die Tabelle " + table + " ist " + anders + c.written + ".";
    for (const auto& c : soll.constraints)
        if (!std::binary_search(ist.constraints.begin(), ist.constraints.end(), c))
            return "Der Tabelle " + table + " fehlt die Bedingung " + c.written + ".";
    if (ist.options.decl != soll.options.decl)
        return "Die Tabelle " + table + " ist " + anders +
               (ist.options.decl.empty() ? "ohne " + soll.options.written : ist.options.written) + ".";
    return {};
}

bool TableDeclaration::IsUniqueIndex(std::string_view sql) {
    const auto t = Tokens(sql);
    return t && t->size() > 2 && Is((*t)[0], "CREATE") && Is((*t)[1], "UNIQUE");
}

} // namespace velu
