// The help names the program's controls in bold; each such caption must be one the program shows,
// so that the help cannot go on naming a button that was renamed or never existed.
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <regex>
#include <set>
#include <sstream>
#include <string>

namespace velmora {
namespace {

std::string contentsOf(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// A caption as shown: the mnemonic marks ("&Open", "Yes To &All") dropped, "&&" kept as "&".
std::string shown(const std::string& literal) {
    std::string text;
    for (std::size_t i = 0; i < literal.size(); ++i) {
        if (literal[i] == '&' && i + 1 < literal.size() && literal[i + 1] == '&')
            ++i;
        else if (literal[i] == '&')
            continue;
        text += literal[i];
    }
    return text;
}

std::string unescapeHtml(std::string text) {
    for (const auto& [entity, character] : {std::pair{"&gt;", ">"}, {"&lt;", "<"}, {"&amp;", "&"}}) {
        for (std::size_t at = text.find(entity); at != std::string::npos; at = text.find(entity, at))
            text.replace(at, std::string(entity).size(), character);
    }
    return text;
}

TEST(HelpCaptionsTest, EveryControlTheHelpNamesIsOneTheProgramShows) {
    const std::filesystem::path root(VELMORA_SOURCE_DIR);
    std::set<std::string> captions;
    const std::regex literal(R"re("((?:[^"\\\n]|\\.)*)")re");
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root / "src")) {
        const std::string text = contentsOf(entry.path());
        for (std::sregex_iterator it(text.begin(), text.end(), literal), end; it != end; ++it)
            captions.insert(shown((*it)[1].str()));
    }
    ASSERT_GT(captions.size(), 100u);

    const std::regex bold("<strong>([^<]*)</strong>");
    int named = 0;
    for (const char* page : {"getting-started.html", "locations.html", "options.html", "runs.html",
                             "files.html", "exclusions.html"}) {
        const std::string text = contentsOf(root / "docs/help" / page);
        for (std::sregex_iterator it(text.begin(), text.end(), bold), end; it != end; ++it) {
            const std::string caption = unescapeHtml((*it)[1].str());
            ++named;
            EXPECT_TRUE(captions.contains(caption)) << page << " names \"" << caption << "\"";
        }
    }
    EXPECT_GT(named, 10);
}

} // namespace
} // namespace velmora
