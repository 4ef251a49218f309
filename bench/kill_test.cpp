// Kills ravelin-cli with SIGKILL at random moments of each command that writes, runs the next command, and
// checks that nothing is half-done: the command succeeds, ravelin.conf loads, every atlas pair in the
// working directory and in the game comes whole from one build, the game holds exactly what the last
// command put there, the install record matches the disk, and no temporary file is left.
//   ravelin_kill_test CLI GAME_DIR ICON_DIR WORK_DIR KILLS SEED
// Builds are the same bytes for the same icons, so two reference builds (ICON_DIR's icons, and none) tell
// every file's build by its hash. POSIX only.

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct Command {
    std::string name;
    std::vector<std::string> arguments;
};

std::string fileHash(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return {};
    std::uint64_t hash = 14695981039346656037ull;  // FNV-1a, as the install record
    char chunk[65536];
    while (in.read(chunk, sizeof chunk) || in.gcount() > 0) {
        for (std::streamsize i = 0; i < in.gcount(); ++i)
            hash = (hash ^ static_cast<unsigned char>(chunk[i])) * 1099511628211ull;
    }
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
    return text;
}

// "NAME.tmpP-N-A": three numbers after the last ".tmp". (Not std::regex: GCC 12 warns inside it under the
// sanitizers, and this checker stays apart from the program's own code.)
bool isTemporaryName(const std::string& name) {
    const std::size_t mark = name.rfind(".tmp");
    if (mark == std::string::npos) return false;
    int numbers = 0;
    bool inNumber = false;
    for (std::size_t i = mark + 4; i < name.size(); ++i) {
        const char c = name[i];
        if (c >= '0' && c <= '9') {
            if (!inNumber) ++numbers;
            inNumber = true;
        } else if (c == '-' && inNumber) {
            inNumber = false;
        } else {
            return false;
        }
    }
    return numbers == 3 && inNumber;
}

// Every regular file below the directory (only its own files when not deep), by path relative to it, with
// its hash when hashed.
std::map<std::string, std::string> filesBelow(const fs::path& root, bool deep = true, bool hashed = true) {
    std::map<std::string, std::string> files;
    std::error_code error;
    if (!fs::exists(root, error)) return files;
    const auto add = [&](const fs::directory_entry& entry) {
        if (entry.is_regular_file())
            files[entry.path().lexically_relative(root).string()] = hashed ? fileHash(entry.path()) : "";
    };
    if (deep) {
        for (const auto& entry : fs::recursive_directory_iterator(root, error)) add(entry);
    } else {
        for (const auto& entry : fs::directory_iterator(root, error)) add(entry);
    }
    return files;
}

class Driver {
public:
    Driver(std::string cli, fs::path game, fs::path icons, fs::path work, std::uint64_t seed)
        : cli_(std::move(cli)),
          game_(std::move(game)),
          icons_(std::move(icons)),
          work_(std::move(work)),
          random_(seed) {}

    int run(int kills);

private:
    // The game's state after a command, as a model: which way is installed from which build.
    enum class Installed { Nothing, LooseFiles, Package };
    struct Model {
        int iconSet = 1;  // 0: ICON_DIR's icons, 1: none (newTankImages)
        int builtSet = -1;
        Installed installed = Installed::Nothing;
        int installedSet = -1;
        int packagedSet = -1;
    };

    // Exit code, or -SIGKILL when killed; a delay of none waits for the end.
    int start(const Command& command, std::optional<double> killAfter);
    bool runToEnd(const Command& command) { return start(command, std::nullopt) == 0; }
    Command command(const std::string& name) const;
    void measureAndTakeReferences();
    void apply(const std::string& name, Model& model) const;
    std::vector<std::string> check(const Model& model, bool afterKill, const Model* old);
    std::vector<std::string> checkGame(const Model& model) const;
    void repair(Model& model);

    std::string cli_;
    fs::path game_, icons_, work_;
    std::mt19937_64 random_;
    std::map<std::string, double> seconds_;
    std::map<std::string, std::string> originals_;  // originalAtlases/ after setup
    std::map<std::string, std::string> builds_[2];  // atlas files of the working directory
    std::string packages_[2];                       // the package of each build
    std::string packageName_;
    fs::path looseFolder_;  // in the game
    fs::path packageFolder_;
    const std::string foreign_ = "<root>another mod's atlas</root>\n";
};

Command Driver::command(const std::string& name) const {
    if (name == "setup") return {name, {"setup", game_.string()}};
    if (name == "install-package") return {name, {"install", "--package"}};
    return {name, {name}};
}

int Driver::start(const Command& command, std::optional<double> killAfter) {
    const pid_t child = fork();
    if (child == 0) {
        const fs::path log = work_.parent_path() / "last-command.txt";
        std::FILE* out = std::fopen(log.c_str(), "w");
        if (out) {
            dup2(fileno(out), 1);
            dup2(fileno(out), 2);
        }
        std::vector<std::string> words = {cli_, "--workdir", work_.string()};
        words.insert(words.end(), command.arguments.begin(), command.arguments.end());
        std::vector<char*> argv;
        for (std::string& word : words) argv.push_back(word.data());
        argv.push_back(nullptr);
        execv(cli_.c_str(), argv.data());
        _exit(127);
    }
    if (killAfter) {
        std::this_thread::sleep_for(std::chrono::duration<double>(*killAfter));
        kill(child, SIGKILL);
    }
    int status = 0;
    waitpid(child, &status, 0);
    if (WIFSIGNALED(status)) return -WTERMSIG(status);
    return WEXITSTATUS(status);
}

void Driver::apply(const std::string& name, Model& model) const {
    if (name == "setup") model.iconSet = 1;
    if (name == "build") model.builtSet = model.iconSet;
    if (name == "install") model.installed = Installed::LooseFiles, model.installedSet = model.builtSet;
    if (name == "install-package") model.installed = Installed::Package, model.installedSet = model.builtSet;
    if (name == "package") model.packagedSet = model.builtSet;
    if (name == "uninstall") model.installed = Installed::Nothing, model.installedSet = -1;
}

void Driver::measureAndTakeReferences() {
    fs::remove_all(work_);
    const auto timed = [&](const std::string& name) {
        const auto begin = std::chrono::steady_clock::now();
        if (!runToEnd(command(name))) {
            std::fprintf(stderr, "kill test: %s failed before any kill\n", name.c_str());
            std::exit(1);
        }
        seconds_[name] = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
    };
    timed("setup");
    originals_ = filesBelow(work_ / "originalAtlases");
    timed("update");
    for (int set : {0, 1}) {
        runToEnd({"icons", {"icons", set == 0 ? icons_.string() : (work_ / "newTankImages").string()}});
        timed("build");
        for (const auto& [name, hash] : filesBelow(work_, false)) {
            if ((name.ends_with(".xml") || name.ends_with(".png") || name.ends_with(".dds")))
                builds_[set][name] = hash;
        }
        timed("package");
        for (const auto& [name, hash] : filesBelow(work_, false)) {
            if (name.ends_with("mod")) packageName_ = name, packages_[set] = hash;
        }
        timed("install");
        for (const auto& [name, hash] : filesBelow(game_ / "res_mods")) {
            if (name.ends_with(".xml")) looseFolder_ = (game_ / "res_mods" / name).parent_path();
        }
        timed("install-package");
        for (const auto& [name, hash] : filesBelow(game_ / "mods")) {
            if (name.ends_with(packageName_)) packageFolder_ = (game_ / "mods" / name).parent_path();
        }
        timed("uninstall");
    }
    // Another mod's atlas in the way: backed up by an install, put back by the uninstall.
    fs::create_directories(looseFolder_);
    std::ofstream(looseFolder_ / "battleAtlas.xml", std::ios::binary) << foreign_;
}

std::vector<std::string> Driver::checkGame(const Model& model) const {
    std::vector<std::string> faults;
    std::map<std::string, std::string> expected;  // relative to the game
    const fs::path loose = looseFolder_.lexically_relative(game_);
    const fs::path package = packageFolder_.lexically_relative(game_);
    expected[(loose / "battleAtlas.xml").string()] = fileHash(work_.parent_path() / "foreign.xml");
    if (model.installed == Installed::LooseFiles) {
        for (const auto& [name, hash] : builds_[model.installedSet]) expected[(loose / name).string()] = hash;
    } else if (model.installed == Installed::Package) {
        expected[(package / packageName_).string()] = packages_[model.installedSet];
    }
    std::map<std::string, std::string> found;
    for (const char* top : {"res_mods", "mods"}) {
        for (const auto& [name, hash] : filesBelow(game_ / top)) {
            if (name != "ravelin.lock") found[(fs::path(top) / name).string()] = hash;
        }
    }
    for (const auto& [name, hash] : found) {
        if (!expected.count(name))
            faults.push_back("unexpected in the game: " + name);
        else if (expected[name] != hash)
            faults.push_back("not the expected content in the game: " + name);
    }
    for (const auto& [name, hash] : expected) {
        if (!found.count(name)) faults.push_back("missing in the game: " + name);
    }
    return faults;
}

std::vector<std::string> Driver::check(const Model& model, bool afterKill, const Model* old) {
    std::vector<std::string> faults;
    if (afterKill) {
        // Before the next command only the game is looked at: wholly the old state or wholly the new.
        if (!checkGame(model).empty() && !checkGame(*old).empty()) faults.push_back("game mixed");
        return faults;
    }
    if (!runToEnd({"status", {"status"}})) faults.push_back("ravelin.conf does not load (status failed)");
    if (filesBelow(work_ / "originalAtlases") != originals_) faults.push_back("originals not as unpacked");
    // Each atlas of the working directory: its XML and images from one build.
    const auto working = filesBelow(work_, false);
    for (const char* atlas : {"battleAtlas", "vehicleMarkerAtlas"}) {
        std::set<int> fromBuild;  // both, where the icons of one atlas are the same in both
        for (int set : {0, 1}) {
            bool all = true;
            for (const auto& [name, hash] : builds_[set]) {
                if (name.starts_with(std::string(atlas) + ".") &&
                    (!working.count(name) || working.at(name) != hash))
                    all = false;
            }
            if (all) fromBuild.insert(set);
        }
        if (fromBuild.empty())
            faults.push_back(std::string("atlas pair not from one build: ") + atlas);
        else if (model.builtSet >= 0 && !fromBuild.count(model.builtSet))
            faults.push_back(std::string("atlas not the last build: ") + atlas);
    }
    if (model.packagedSet >= 0 && working.count(packageName_) &&
        working.at(packageName_) != packages_[model.packagedSet] &&
        working.at(packageName_) != packages_[model.builtSet])
        faults.push_back("package not whole");
    for (const std::string& fault : checkGame(model)) faults.push_back(fault);
    // The record against the disk.
    std::ifstream record(work_ / "ravelin-installed.txt");
    std::set<std::string> recorded;
    for (std::string line; std::getline(record, line);) {
        if (line.ends_with('\r')) line.pop_back();
        std::istringstream fields(line);
        std::string tag, second, path;
        std::getline(fields, tag, '\t');
        std::getline(fields, second, '\t');
        std::getline(fields, path);
        if (tag == "installed") {
            recorded.insert(path);
            if (fileHash(path) != second) faults.push_back("record does not match the disk: " + path);
        } else if (tag == "backup") {
            if (fileHash(work_ / second) != fileHash(work_.parent_path() / "foreign.xml"))
                faults.push_back("recorded backup missing or changed: " + second);
        } else {
            faults.push_back("record line unreadable: " + line);
        }
    }
    const std::size_t expectedRecorded = model.installed == Installed::LooseFiles ? builds_[0].size()
                                         : model.installed == Installed::Package  ? 1
                                                                                  : 0;
    if (recorded.size() != expectedRecorded)
        faults.push_back("record lists " + std::to_string(recorded.size()) + " files");
    for (const fs::path& top : {game_ / "res_mods", game_ / "mods", work_}) {
        for (const auto& [name, hash] : filesBelow(top, true, false)) {
            if (isTemporaryName(name)) faults.push_back("temporary file left: " + (top / name).string());
        }
    }
    return faults;
}

// After a failure, the game and the record as they were before any install, so the run goes on.
void Driver::repair(Model& model) {
    fs::remove_all(looseFolder_);
    fs::remove_all(packageFolder_);
    fs::remove(work_ / "ravelin-installed.txt");
    fs::remove_all(work_ / "backups");
    fs::create_directories(looseFolder_);
    std::ofstream(looseFolder_ / "battleAtlas.xml", std::ios::binary) << foreign_;
    model.installed = Installed::Nothing;
    runToEnd({"icons", {"icons", (work_ / "newTankImages").string()}});
    runToEnd(command("build"));
    model.iconSet = model.builtSet = 1;
}

int Driver::run(int kills) {
    std::ofstream(work_.parent_path() / "foreign.xml", std::ios::binary) << foreign_;
    measureAndTakeReferences();
    Model model;
    model.builtSet = 1;
    model.packagedSet = 1;
    const std::vector<std::string> cycle = {"setup",           "update",  "build",    "install",
                                            "install-package", "package", "uninstall"};
    std::map<std::string, int> killed, finished, failures;
    int mixedAfterKill = 0;
    int done = 0;
    for (std::size_t round = 0; done < kills; ++round) {
        const std::string& name = cycle[round % cycle.size()];
        if (name == "build") {  // the next build differs from the one in place
            model.iconSet = 1 - model.builtSet;
            runToEnd({"icons",
                      {"icons", model.iconSet == 0 ? icons_.string() : (work_ / "newTankImages").string()}});
        }
        if ((name == "install" || name == "install-package" || name == "package") && model.builtSet < 0)
            continue;
        const double delay = std::uniform_real_distribution<double>(0.0, seconds_[name])(random_);
        const int status = start(command(name), delay);
        Model next = model;
        apply(name, next);
        std::vector<std::string> faults;
        if (status != -SIGKILL) {
            ++finished[name];
            if (status != 0) faults.push_back("failed without a kill");
        } else {
            ++killed[name];
            ++done;
            if (!check(next, true, &model).empty()) ++mixedAfterKill;
        }
        // The next command: the same again, or after an install its undo.
        std::string then = name;
        if ((name == "install" || name == "install-package") &&
            std::uniform_int_distribution<int>(0, 1)(random_))
            then = "uninstall";
        apply(then, next);
        if (!runToEnd(command(then))) {
            std::ifstream log(work_.parent_path() / "last-command.txt");
            std::stringstream text;
            text << log.rdbuf();
            faults.push_back(then + " failed after the kill: " + text.str());
        }
        for (const std::string& fault : check(next, false, nullptr)) faults.push_back(fault);
        model = next;
        if (!faults.empty()) {
            ++failures[name];
            std::printf("FAILED: %s killed after %.4f s, then %s:\n", name.c_str(), delay, then.c_str());
            for (const std::string& fault : faults) std::printf("  %s\n", fault.c_str());
            std::fflush(stdout);
            repair(model);
        }
    }
    int failed = 0;
    std::printf("%-16s %6s %14s %9s\n", "command", "kills", "ended before", "failures");
    for (const std::string& name : cycle) {
        std::printf("%-16s %6d %14d %9d\n", name.c_str(), killed[name], finished[name], failures[name]);
        failed += failures[name];
    }
    std::printf("game seen mixed right after a kill (made whole by the next command): %d\n", mixedAfterKill);
    std::printf("kill test: %d passed, %d failed\n", done - failed, failed);
    return failed == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 7) {
        std::fprintf(stderr, "usage: %s CLI GAME_DIR ICON_DIR WORK_DIR KILLS SEED\n", argv[0]);
        return 2;
    }
    Driver driver(fs::absolute(argv[1]).string(), fs::absolute(argv[2]), fs::absolute(argv[3]),
                  fs::absolute(argv[4]), std::stoull(argv[6]));
    return driver.run(std::stoi(argv[5]));
}
