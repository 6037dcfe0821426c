// The four retrieval steps killed with SIGKILL at random moments, again and again on one workspace: the
// table stays sound, every file is whole or absent, and an uninterrupted run then ends where a run that
// was never interrupted ends.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cmath>
#include <map>
#include <random>

#include "HardeningFixture.h"
#include "LoopbackServer.h"
#include "workshop/ModInfo.h"
#include "workshop/PageDownload.h"
#include "workshop/PreviewAddress.h"
#include "workshop/PreviewDownload.h"

namespace quorvane::hardening {
namespace {

namespace fs = std::filesystem;
using testing::LoopbackAnswer;
using testing::LoopbackServer;

constexpr int kMods = 30;
constexpr int kKills = 20;

// One program folder and one Workshop folder, as the user's machine holds them.
struct Install {
  TempDir program;
  TempDir workshop;
  Text TablePath() const { return text::JoinPath(program.text(), "CSLmod.edb"); }
};

long long NowNs() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return now.tv_sec * 1'000'000'000LL + now.tv_nsec;
}

// Arms a timer whose signal is SIGKILL.
void KillSelfAfter(long long ns) {
  sigevent event{};
  event.sigev_notify = SIGEV_SIGNAL;
  event.sigev_signo = SIGKILL;
  timer_t timer;
  itimerspec when{};
  when.it_value.tv_sec = ns / 1'000'000'000;
  when.it_value.tv_nsec = ns % 1'000'000'000;
  if (timer_create(CLOCK_MONOTONIC, &event, &timer) != 0 || timer_settime(timer, 0, &when, nullptr) != 0) {
    _exit(3);
  }
}

constexpr int kSteps = 4;

// Arms the kill at the start of one chosen step and times every step.
class KillingWindow : public FakeWindow {
 public:
  KillingWindow(int killStep, long long killAfterNs) : killStep_(killStep), killAfterNs_(killAfterNs) {}
  bool BeginLongOperation() override {
    if (step_ == killStep_) KillSelfAfter(killAfterNs_);
    startedNs_ = NowNs();
    return FakeWindow::BeginLongOperation();
  }
  void EndLongOperation() override {
    if (step_ < kSteps) stepNs[step_++] = NowNs() - startedNs_;
    FakeWindow::EndLongOperation();
  }
  long long stepNs[kSteps] = {};

 private:
  int killStep_;
  long long killAfterNs_;
  int step_ = 0;
  long long startedNs_ = 0;
};

struct ChildRun {
  int status = 0;
  long long stepNs[kSteps] = {};  // how long each step took, when the run was not killed
};

// The four steps in the order the user clicks them, in a process of their own, as the program runs them;
// with killStep in 0..3 the process is killed killAfterNs after that step started.
ChildRun RunStepsInChild(const Install& install, const std::string& prefix, int killStep = -1,
                         long long killAfterNs = 0) {
  int times[2];
  if (pipe(times) != 0) return {-1, {}};
  const pid_t child = fork();
  if (child == 0) {
    close(times[0]);
    ModIndex table;
    FakeModList list;
    KillingWindow window(killStep, killAfterNs);
    window.SetText(Control::WorkshopFolderBox, install.workshop.text());
    window.SetText(Control::PagePrefixBox, prefix);
    index::Workspace workspace{table, list, window, install.program.text()};
    workshop::DownloadPages(workspace);
    workshop::ExtractModInfo(workspace);
    workshop::ExtractPreviewAddresses(workspace);
    workshop::DownloadPreviews(workspace);
    if (write(times[1], window.stepNs, sizeof window.stepNs) != sizeof window.stepNs) _exit(3);
    _exit(window.messages.empty() ? 0 : 4);
  }
  close(times[1]);
  ChildRun run;
  waitpid(child, &run.status, 0);
  if (read(times[0], run.stepNs, sizeof run.stepNs) != sizeof run.stepNs) std::fill_n(run.stepNs, kSteps, 0);
  close(times[0]);
  return run;
}

class CrashSafetyTest : public ::testing::Test {
 protected:
  CrashSafetyTest() {
    for (int i = 0; i < kMods; ++i) {
      const std::string id = std::to_string(500100 + i);
      ids.push_back(id);
      // Pages of real size, so that kills land inside writes too.
      pages[id] = WorkshopPage("Mod " + id, "Author " + std::to_string(i % 7),
                               "Line one.<br>" + std::string(300 + i * 40, 'd') + "<br>end",
                               server.Url("/ugc/" + id + "/"), 400'000 + i * 997);
      std::mt19937 random(i);
      std::string picture(150'000 + i * 311, '\0');
      for (char& byte : picture) byte = static_cast<char>(random());
      pictures[id] = picture;
      LoopbackAnswer page = LoopbackAnswer::Ok(pages[id]);
      server.Answer("/page?id=" + id, page);
      LoopbackAnswer preview = LoopbackAnswer::Ok(picture);
      server.Answer("/ugc/" + id + "/637x358.resizedimage", preview);
    }
  }

  void Prepare(const Install& install) const {
    ASSERT_TRUE(index::CreateEmptyIndexFile(text::ToNativePath(install.TablePath()).string()));
    ModIndex writer;
    ASSERT_EQ(writer.Open(install.TablePath()), index::OpenResult::kOpened);
    for (const std::string& id : ids) {
      ASSERT_TRUE(writer.AddRecord(writer.RecordCount() + 1, id));
      install.workshop.MakeDir(id);
    }
  }

  // Each page and preview whole (byte-equal to what the server serves) or absent, the preview also empty.
  void ExpectEveryFileWholeOrAbsent(const Install& install) const {
    for (const std::string& id : ids) {
      SCOPED_TRACE(id);
      const fs::path folder = install.workshop.path() / id;
      const fs::path page = folder / (id + ".info.txt");
      if (fs::exists(page)) {
        EXPECT_TRUE(FileBytes(page) == pages.at(id)) << "a partial page";
      }
      const fs::path preview = folder / (id + ".jpg");
      if (fs::exists(preview)) {
        const std::string bytes = FileBytes(preview);
        EXPECT_TRUE(bytes.empty() || bytes == pictures.at(id)) << "a partial preview";
      }
    }
  }

  std::vector<std::string> ids;
  std::map<std::string, std::string> pages;
  std::map<std::string, std::string> pictures;
  LoopbackServer server{600};
};

TEST_F(CrashSafetyTest, KilledAnywhereTwentyTimesThenRerunEndsAsAnUninterruptedRun) {
  const std::string prefix = server.Url("/page?id=");

  Install reference;
  Prepare(reference);
  const ChildRun uninterrupted = RunStepsInChild(reference, prefix);
  const int referenceStatus = uninterrupted.status;
  ASSERT_TRUE(WIFEXITED(referenceStatus) && WEXITSTATUS(referenceStatus) == 0) << referenceStatus;
  const auto expectedFields = AllFields(reference.TablePath());
  ASSERT_EQ(expectedFields.size(), static_cast<size_t>(kMods));
  for (const std::string& id : ids) {
    ASSERT_EQ(reference.workshop.ReadFile(id + "/" + id + ".info.txt"), pages.at(id));
    ASSERT_EQ(reference.workshop.ReadFile(id + "/" + id + ".jpg"), pictures.at(id));
  }

  Install killed;
  Prepare(killed);
  const unsigned seed = std::random_device()();
  SCOPED_TRACE("seed " + std::to_string(seed));
  std::mt19937_64 random(seed);
  // Each run is killed in one of the steps, at a moment within the time that step took uninterrupted:
  // in a transfer, a write, a rename or a commit.
  std::uniform_int_distribution<int> step(0, kSteps - 1);
  int killedRuns = 0;
  for (int round = 0; round < kKills; ++round) {
    const int killStep = step(random);
    const long long killAfterNs =
        std::uniform_int_distribution<long long>(1, std::max(2LL, uninterrupted.stepNs[killStep]))(random);
    const int status = RunStepsInChild(killed, prefix, killStep, killAfterNs).status;
    SCOPED_TRACE("round " + std::to_string(round) + ", step " + std::to_string(killStep) + ", killed after " +
                 std::to_string(killAfterNs) + " ns");
    if (WIFSIGNALED(status)) {
      ASSERT_EQ(WTERMSIG(status), SIGKILL);
      ++killedRuns;
    } else {
      ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    }
    ASSERT_EQ(IntegrityCheck(killed.program.path() / "CSLmod.edb"), "ok");
    ExpectEveryFileWholeOrAbsent(killed);
    // All a kill may leave beside the files is a temporary file, which the next write of that file replaces.
    for (const std::string& id : ids) {
      for (const std::string& name : EntriesIn(killed.workshop.path() / id)) {
        EXPECT_THAT(name, ::testing::AnyOf(id + ".info.txt", id + ".jpg", id + ".info.txt.partial",
                                           id + ".jpg.partial"));
      }
    }
  }
  RecordProperty("killed_runs", killedRuns);
  // A run whose step finished before its moment ends on its own (later runs have less work left); the
  // first runs always have work enough to be killed in.
  EXPECT_GE(killedRuns, 1);

  const int rerun = RunStepsInChild(killed, prefix).status;
  ASSERT_TRUE(WIFEXITED(rerun) && WEXITSTATUS(rerun) == 0) << rerun;
  EXPECT_EQ(IntegrityCheck(killed.program.path() / "CSLmod.edb"), "ok");
  EXPECT_EQ(AllFields(killed.TablePath()), expectedFields);
  for (const std::string& id : ids) {
    SCOPED_TRACE(id);
    EXPECT_THAT(EntriesIn(killed.workshop.path() / id),
                ::testing::ElementsAre(id + ".info.txt", id + ".jpg"));
    EXPECT_TRUE(killed.workshop.ReadFile(id + "/" + id + ".info.txt") == pages.at(id));
    EXPECT_TRUE(killed.workshop.ReadFile(id + "/" + id + ".jpg") == pictures.at(id));
  }
}

}  // namespace
}  // namespace quorvane::hardening
