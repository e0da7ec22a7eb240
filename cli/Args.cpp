#include "cli/Args.h"

bool ParseArgs(const std::vector<std::string>& words, const OptionSpec& spec, Args& args,
               std::string& error) {
    bool optionsEnded = false;
    for (size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (optionsEnded || word.size() < 2 || word[0] != '-') {
            args.Positional.push_back(word);
            continue;
        }
        if (word == "--") {
            optionsEnded = true;
            continue;
        }
        if (word == "--help" || word == "-h") {
            args.Help = true;
            continue;
        }
        std::string name = word;
        std::string value;
        bool inlineValue = false;
        if (size_t equals = word.find('=');
            word.rfind("--", 0) == 0 && equals != std::string::npos) {
            name = word.substr(0, equals);
            value = word.substr(equals + 1);
            inlineValue = true;
        }
        if (spec.Flags.count(name) && !inlineValue) {
            args.Flags.insert(name);
        } else if (spec.WithValue.count(name)) {
            if (!inlineValue) {
                if (i + 1 >= words.size()) {
                    error = "option " + name + " needs a value";
                    return false;
                }
                value = words[++i];
            }
            args.Values[name] = value;
        } else {
            error = "unknown option " + word;
            return false;
        }
    }
    return true;
}
