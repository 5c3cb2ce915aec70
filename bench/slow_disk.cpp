// A disk that slows all at once (an SSD's or a stick's cache full), for scripts/pause-bench.sh: a pass-through
// FUSE file system over a folder whose fsync waits (bytes written since the last fsync beyond the first FAST MiB
// of all) / rate. Writes return at once, as into a system's cache. Built for Linux, not with the program.
//   slow_disk FOLDER MOUNTPOINT FAST_MIB RATE_MIB_PER_S
// Runs in the foreground until unmounted; each fsync is logged on stderr: the time since 1970 and since the
// mount, the MiB written in all and those the fsync waits for, and how long it waits.
#define FUSE_USE_VERSION 31
#include <dirent.h>
#include <fcntl.h>
#include <fuse.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>
#include <utility>

namespace {

int folder = -1;
double rate = 0;          // bytes a second once the fast MiB are used up
long long fastLeft = 0;   // bytes still taken at once
long long owed = 0;       // bytes since the last fsync beyond the fast MiB
long long written = 0;    // all bytes written, for the log
std::mutex lock;
double mounted = 0;  // seconds since 1970

const char* Rel(const char* path) { return path[1] != '\0' ? path + 1 : "."; }
int Fail(long result) { return result < 0 ? -errno : static_cast<int>(result); }
int Handle(const fuse_file_info* fi) { return static_cast<int>(fi->fh); }

double Now() {
  return std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();
}

void* Start(fuse_conn_info*, fuse_config* cfg) {
  cfg->use_ino = 1;
  mounted = Now();
  return nullptr;
}

int Opened(int fd, fuse_file_info* fi) {
  if (fd < 0) return -errno;
  fi->fh = static_cast<uint64_t>(fd);
  return 0;
}

int ReadDir(const char* path, void* buf, fuse_fill_dir_t fill, off_t, fuse_file_info*, fuse_readdir_flags) {
  const int fd = openat(folder, Rel(path), O_RDONLY | O_DIRECTORY);
  if (fd < 0) return -errno;
  DIR* dir = fdopendir(fd);
  if (dir == nullptr) return close(fd), -errno;
  for (dirent* entry; (entry = readdir(dir)) != nullptr;) fill(buf, entry->d_name, nullptr, 0, fuse_fill_dir_flags{});
  closedir(dir);
  return 0;
}

int Write(const char*, const char* buf, size_t size, off_t offset, fuse_file_info* fi) {
  const ssize_t done = pwrite(Handle(fi), buf, size, offset);
  if (done < 0) return -errno;
  const std::lock_guard held(lock);
  const long long fast = std::min<long long>(done, fastLeft);
  fastLeft -= fast, owed += done - fast, written += done;
  return static_cast<int>(done);
}

int Fsync(const char*, int, fuse_file_info*) {
  long long due = 0, total = 0;
  {
    const std::lock_guard held(lock);
    due = std::exchange(owed, 0), total = written;
  }
  const double seconds = static_cast<double>(due) / rate, at = Now();
  std::fprintf(stderr, "%.3f (%.3f s): fsync at %.1f MiB written, %.1f MiB due, %.3f s\n", at, at - mounted,
               static_cast<double>(total) / 1048576, static_cast<double>(due) / 1048576, seconds);
  std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
  return 0;
}

int Truncate(const char* path, off_t size, fuse_file_info* fi) {
  if (fi != nullptr) return Fail(ftruncate(Handle(fi), size));
  const int fd = openat(folder, Rel(path), O_WRONLY);
  if (fd < 0) return -errno;
  const int result = Fail(ftruncate(fd, size));
  close(fd);
  return result;
}

fuse_operations Operations() {
  fuse_operations ops{};
  ops.init = Start;
  ops.getattr = [](const char* path, struct stat* st, fuse_file_info* fi) {
    return Fail(fi != nullptr ? fstat(Handle(fi), st) : fstatat(folder, Rel(path), st, AT_SYMLINK_NOFOLLOW));
  };
  ops.readdir = ReadDir;
  ops.open = [](const char* path, fuse_file_info* fi) { return Opened(openat(folder, Rel(path), fi->flags), fi); };
  ops.create = [](const char* path, mode_t mode, fuse_file_info* fi) {
    return Opened(openat(folder, Rel(path), fi->flags | O_CREAT, mode), fi);
  };
  ops.read = [](const char*, char* buf, size_t size, off_t offset, fuse_file_info* fi) {
    return Fail(pread(Handle(fi), buf, size, offset));
  };
  ops.write = Write;
  ops.fsync = Fsync;
  ops.flush = [](const char*, fuse_file_info*) { return 0; };
  ops.release = [](const char*, fuse_file_info* fi) { return close(Handle(fi)), 0; };
  ops.truncate = Truncate;
  ops.fallocate = [](const char*, int mode, off_t offset, off_t length, fuse_file_info* fi) {
    return Fail(fallocate(Handle(fi), mode, offset, length));
  };
  ops.mkdir = [](const char* path, mode_t mode) { return Fail(mkdirat(folder, Rel(path), mode)); };
  ops.unlink = [](const char* path) { return Fail(unlinkat(folder, Rel(path), 0)); };
  ops.rmdir = [](const char* path) { return Fail(unlinkat(folder, Rel(path), AT_REMOVEDIR)); };
  ops.rename = [](const char* from, const char* to, unsigned int flags) {
    return Fail(renameat2(folder, Rel(from), folder, Rel(to), flags));
  };
  ops.chmod = [](const char* path, mode_t mode, fuse_file_info* fi) {
    return Fail(fi != nullptr ? fchmod(Handle(fi), mode) : fchmodat(folder, Rel(path), mode, 0));
  };
  ops.chown = [](const char* path, uid_t uid, gid_t gid, fuse_file_info* fi) {
    return Fail(fi != nullptr ? fchown(Handle(fi), uid, gid) : fchownat(folder, Rel(path), uid, gid, AT_SYMLINK_NOFOLLOW));
  };
  ops.access = [](const char* path, int mask) { return Fail(faccessat(folder, Rel(path), mask, 0)); };
  ops.statfs = [](const char*, struct statvfs* st) { return Fail(fstatvfs(folder, st)); };
  return ops;
}

}  // namespace

int main(int argc, char* argv[]) {
  if (argc != 5 || (folder = open(argv[1], O_RDONLY | O_DIRECTORY)) < 0 || std::atof(argv[4]) <= 0) {
    std::fprintf(stderr, "usage: slow_disk FOLDER MOUNTPOINT FAST_MIB RATE_MIB_PER_S\n");
    return 2;
  }
  fastLeft = static_cast<long long>(std::atof(argv[3]) * 1048576);
  rate = std::atof(argv[4]) * 1048576;
  std::string foreground = "-f", option = "-o", options = "fsname=slow_disk,max_threads=16";
  char* args[] = {argv[0], argv[2], foreground.data(), option.data(), options.data(), nullptr};
  const fuse_operations ops = Operations();
  return fuse_main(5, args, &ops, nullptr);
}
