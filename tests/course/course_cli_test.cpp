// The corvella-course program: exit codes, no partial output on failure, and
// the commands authors use to look at what they ship.

#include <gtest/gtest.h>
#include <unistd.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "tools/course_build.h"

namespace {

namespace fs = std::filesystem;

class CourseTool : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() /
            ("course-cli-" + std::to_string(getpid()) +
             "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(root_);
    fs::create_directories(root_ / "course");
    fs::create_directories(root_ / "out");
    for (int n = 1; n <= 245; ++n) {
      Write("course/" + course::LessonFileName(n), "centre: \xD7\x90\xD7\x91 " + std::to_string(n) +
                                                       "\ntext: (\xD7\x92)\n");
    }
    Write("course/index.txt", "heading: \xD7\x90\nlesson 1: \xD7\x91\n");
  }
  void TearDown() override { fs::remove_all(root_); }

  void Write(const std::string& name, const std::string& text) {
    std::ofstream(root_ / name, std::ios::binary) << text;
  }
  std::string Read(const std::string& name) {
    std::ifstream in(root_ / name, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
  }
  // Runs the tool with `args`; stdout goes to out/stdout.txt. Returns the exit code.
  int Run(const std::string& args) {
    const std::string command = std::string(CORVELLA_COURSE_TOOL) + " " + args + " >" +
                                (root_ / "stdout.txt").string() + " 2>" +
                                (root_ / "stderr.txt").string();
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  std::string Path(const std::string& name) { return (root_ / name).string(); }

  fs::path root_;
};

TEST_F(CourseTool, BuildListDump) {
  ASSERT_EQ(Run("build " + Path("course") + " --pack " + Path("out/c.pack") + " --cpp " +
                Path("out/c.cpp")),
            0)
      << Read("stderr.txt");
  EXPECT_NE(Read("stdout.txt").find("built 245 lessons (490 paragraphs) and the index (2 entries)"),
            std::string::npos);
  EXPECT_NE(Read("out/c.cpp").find("{32767, kResource32767}"), std::string::npos);

  ASSERT_EQ(Run("list " + Path("out/c.pack")), 0);
  const std::string list = Read("stdout.txt");
  EXPECT_NE(list.find("\n1            1001"), std::string::npos) << list;
  EXPECT_NE(list.find("\nindex       32767"), std::string::npos) << list;
  EXPECT_NE(list.find("\ntotal         246"), std::string::npos) << list;

  ASSERT_EQ(Run("dump " + Path("out/c.pack") + " 17"), 0);
  EXPECT_EQ(Read("stdout.txt"), Read("course/lesson-017.txt"));
  ASSERT_EQ(Run("dump " + Path("out/c.pack") + " index"), 0);
  EXPECT_EQ(Read("stdout.txt"), Read("course/index.txt"));
  EXPECT_EQ(Run("dump " + Path("out/c.pack") + " 246"), 2);
  EXPECT_EQ(Run("dump " + Path("course/index.txt") + " 1"), 1);
  EXPECT_NE(Read("stderr.txt").find("not a course pack"), std::string::npos);
}

TEST_F(CourseTool, AFailedBuildLeavesTheOldOutputsAlone) {
  Write("out/c.pack", "old pack");
  Write("out/c.cpp", "old source");
  Write("course/lesson-100.txt", "centre: \xD7\x90\ntext: \xE2\x80\x94\n");
  EXPECT_EQ(Run("build " + Path("course") + " --pack " + Path("out/c.pack") + " --cpp " +
                Path("out/c.cpp")),
            1);
  EXPECT_NE(Read("stderr.txt").find("lesson-100.txt:2:7: U+2014 cannot be stored in BookCode"),
            std::string::npos)
      << Read("stderr.txt");
  EXPECT_EQ(Read("out/c.pack"), "old pack");
  EXPECT_EQ(Read("out/c.cpp"), "old source");
  int files = 0;
  for ([[maybe_unused]] const auto& entry : fs::directory_iterator(root_ / "out")) ++files;
  EXPECT_EQ(files, 2);

  // An output that cannot be written: the build fails and leaves nothing.
  Write("course/lesson-100.txt", "centre: \xD7\x90\n");
  EXPECT_EQ(Run("build " + Path("course") + " --pack " + Path("missing/c.pack")), 1);
  EXPECT_FALSE(fs::exists(root_ / "missing"));
}

TEST_F(CourseTool, CompressAndDecompressRawStreams) {
  std::string plain;
  for (int i = 0; i < 300; ++i) plain += "abc " + std::to_string(i % 17) + "\x01\x80\xFF ";
  Write("plain.bin", plain);
  ASSERT_EQ(Run("compress " + Path("plain.bin") + " " + Path("packed.bin")), 0);
  EXPECT_LT(Read("packed.bin").size(), plain.size());
  ASSERT_EQ(Run("decompress " + Path("packed.bin") + " " + Path("again.bin")), 0);
  EXPECT_EQ(Read("again.bin"), plain);
  ASSERT_EQ(Run("decompress " + Path("packed.bin") + " " + Path("again2.bin") + " --length " +
                std::to_string(plain.size())),
            0);
  EXPECT_EQ(Read("again2.bin"), plain);
  EXPECT_EQ(Run("decompress " + Path("packed.bin") + " " + Path("short.bin") + " --length " +
                std::to_string(plain.size() + 1)),
            1);
  EXPECT_FALSE(fs::exists(root_ / "short.bin"));
  EXPECT_EQ(Run("decompress " + Path("packed.bin") + " " + Path("long.bin") + " --length 10"), 1);
}

TEST_F(CourseTool, Usage) {
  EXPECT_EQ(Run(""), 2);
  EXPECT_EQ(Run("frobnicate"), 2);
  EXPECT_EQ(Run("build " + Path("course")), 2);
  EXPECT_EQ(Run("--help"), 0);
  EXPECT_NE(Read("stdout.txt").find("corvella-course build COURSE_FOLDER"), std::string::npos);
}

}  // namespace
