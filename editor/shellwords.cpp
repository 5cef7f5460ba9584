#include "shellwords.h"

#include <utility>

#include "errors.h"

namespace wmb {

std::vector<std::string> splitShellWords(std::string_view command)
{
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    for (std::size_t i = 0; i < command.size(); ++i) {
        const char c = command[i];
        if (c == ' ' || c == '\t' || c == '\n') {
            if (inWord)
                words.push_back(std::exchange(word, {}));
            inWord = false;
            continue;
        }
        inWord = true;
        if (c == '\\') {
            if (++i < command.size())
                word += command[i];
        } else if (c == '\'' || c == '"') {
            std::size_t j = i + 1;
            for (; j < command.size() && command[j] != c; ++j) {
                if (c == '"' && command[j] == '\\' && j + 1 < command.size() &&
                    std::string_view("\\\"$`").find(command[j + 1]) != std::string_view::npos)
                    ++j;
                word += command[j];
            }
            if (j >= command.size())
                throw RuntimeError("The command has an unterminated quote");
            i = j;
        } else {
            word += c;
        }
    }
    if (inWord)
        words.push_back(word);
    return words;
}

} // namespace wmb
