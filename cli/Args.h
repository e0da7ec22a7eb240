#pragma once
// Command-line words of one subcommand: positional words, options with a value
// (--name VALUE, --name=VALUE, -o VALUE) and flags.

#include <map>
#include <set>
#include <string>
#include <vector>

struct OptionSpec {
    std::set<std::string> WithValue;  // e.g. "--block", "-o"
    std::set<std::string> Flags;      // e.g. "--lf"
};

struct Args {
    std::vector<std::string> Positional;
    std::map<std::string, std::string> Values;
    std::set<std::string> Flags;
    bool Help = false;

    bool Has(const std::string& option) const { return Values.count(option) != 0; }
    std::string Value(const std::string& option, const std::string& fallback = "") const {
        auto found = Values.find(option);
        return found == Values.end() ? fallback : found->second;
    }
};

// False with a message in `error` for an unknown option or a missing value.
bool ParseArgs(const std::vector<std::string>& words, const OptionSpec& spec, Args& args,
               std::string& error);
