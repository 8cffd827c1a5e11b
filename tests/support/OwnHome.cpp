// Compiled into every test. CTest gives each test home folders of its own (VEXLO_TEST_HOME names them); a test run
// directly would otherwise read and write the user's own settings, caches and Trash. It gets fresh folders instead,
// before anything reads the environment, and they are removed when it ends.
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

namespace {

namespace fs = std::filesystem;

struct OwnHome
{
    fs::path home;

    OwnHome()
    {
        if (std::getenv("VEXLO_TEST_HOME"))
            return;
        std::string folder = (fs::temp_directory_path() / "vexlo-test-XXXXXX").string();
        if (!mkdtemp(folder.data()))
            std::abort();
        home = folder;
        fs::create_directory(home / "run");
        fs::permissions(home / "run", fs::perms::owner_all);
        set("VEXLO_TEST_HOME", home);
        set("HOME", home);
        set("XDG_CONFIG_HOME", home / ".config");
        set("XDG_DATA_HOME", home / ".local/share");
        set("XDG_CACHE_HOME", home / ".cache");
        set("XDG_RUNTIME_DIR", home / "run");
    }

    ~OwnHome()
    {
        std::error_code ignored;
        if (!home.empty())
            fs::remove_all(home, ignored);
    }

    static void set(const char *name, const fs::path &value) { setenv(name, value.c_str(), 1); }
};

const OwnHome ownHome;

} // namespace
