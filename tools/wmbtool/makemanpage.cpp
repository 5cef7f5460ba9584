// makemanpage TEMPLATE VERSION OUT: writes the manual page wmbtool(1), the
// roff of TEMPLATE with @VERSION@, @COMMANDS@ (one entry per command of the
// table, its usage, summary and help) and @NOTES@ (the help's notes) filled in.
#include <cctype>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <string_view>

#include "commands.h"

namespace {

// Text as roff shows it: a backslash and a minus sign escaped, and a line
// that would read as a request (a leading dot or quote) started with \&.
std::string roffText(std::string_view text)
{
    std::string out = text.starts_with('.') || text.starts_with('\'') ? "\\&" : "";
    for (const char ch : text) {
        if (ch == '\\')
            out += "\\e";
        else if (ch == '-')
            out += "\\-";
        else
            out += ch;
    }
    return out;
}

// A usage line: the command name in bold, the words to replace (runs of
// capitals: ROM, LEVEL, OUT in OUT.png) in italics.
std::string usageRoff(std::string_view usage)
{
    const std::size_t space = std::min(usage.find(' '), usage.size());
    std::string out = "\\fBwmbtool " + roffText(usage.substr(0, space)) + "\\fR";
    bool italic = false;
    for (const char ch : usage.substr(space)) {
        const bool capital = std::isupper(static_cast<unsigned char>(ch)) != 0;
        if (capital != italic)
            out += capital ? "\\fI" : "\\fR";
        italic = capital;
        out += roffText(std::string_view(&ch, 1));
    }
    return out + (italic ? "\\fR" : "");
}

// Lines of help text within an indented paragraph: plain lines fill it;
// lines indented by two blanks (tables, examples) are shown as written, in a
// paragraph of their own.
std::string paragraphRoff(std::string_view text)
{
    std::string out;
    bool literal = false;
    std::istringstream lines{std::string(text)};
    for (std::string line; std::getline(lines, line);) {
        const bool indented = line.starts_with("  ");
        if (indented != literal)
            out += indented ? ".IP\n.nf\n" : ".fi\n.IP\n";
        literal = indented;
        out += indented ? "\\ \\ " + roffText(std::string_view(line).substr(2)) + "\n" : roffText(line) + "\n";
    }
    return out + (literal ? ".fi\n" : "");
}

std::string commandsRoff()
{
    std::string out;
    for (const wmbtool::Command &c : wmbtool::commands()) {
        std::string summary(c.summary);
        summary[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(summary[0])));
        out += ".TP\n" + usageRoff(c.usage) + "\n" + roffText(summary) + ".\n.IP\n" + paragraphRoff(c.help);
    }
    return out;
}

void replace(std::string &text, std::string_view mark, const std::string &by)
{
    for (std::size_t at = text.find(mark); at != std::string::npos; at = text.find(mark, at + by.size()))
        text.replace(at, mark.size(), by);
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 4) {
        std::cerr << "usage: makemanpage TEMPLATE VERSION OUT\n";
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    std::string page((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in && !in.eof()) {
        std::cerr << "makemanpage: cannot read " << argv[1] << "\n";
        return 1;
    }
    replace(page, "@VERSION@", argv[2]);
    replace(page, "@COMMANDS@\n", commandsRoff());
    replace(page, "@NOTES@\n", paragraphRoff(wmbtool::helpNotes()));
    std::ofstream out(argv[3], std::ios::binary | std::ios::trunc);
    out << page;
    out.close();
    if (!out) {
        std::cerr << "makemanpage: cannot write " << argv[3] << "\n";
        return 1;
    }
    return 0;
}
