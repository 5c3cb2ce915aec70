// A disk that slows all at once (an SSD's or a stick's cache full), for scripts/pause-bench.sh: a pass-through
// FUSE file system over a folder whose fsync waits (bytes written since the last fsync beyond the first FAST MiB
// of all) / rate. Writes return at once, as into a system's cache.
//   slow_disk FOLDER MOUNTPOINT FAST_MIB RATE_MIB_PER_S
// Runs in the foreground until unmounted; each fsync is logged on stderr: the time since 1970 and since the
// mount, the MiB written in all and those the fsync waits for, and how long it waits.
#define FUSE_USE_VERSION 31
#define _GNU_SOURCE
#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <fuse.h>
#include <pthread.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/time.h>
#include <unistd.h>

static int folder;
static double rate;          // bytes a second once the fast MiB are used up
static long long fastLeft;   // bytes still taken at once
static long long owed;       // bytes since the last fsync beyond the fast MiB
static long long written;    // all bytes written, for the log
static pthread_mutex_t lock = PTHREAD_MUTEX_INITIALIZER;
static double mounted;  // seconds since 1970

static const char* rel(const char* path) { return path[1] ? path + 1 : "."; }
static int fail(int result) { return result < 0 ? -errno : result; }

static double now(void) {
  struct timeval time;
  gettimeofday(&time, NULL);
  return (double)time.tv_sec + (double)time.tv_usec / 1e6;
}

static void* start(struct fuse_conn_info* conn, struct fuse_config* cfg) {
  (void)conn;
  cfg->use_ino = 1;
  mounted = now();
  return NULL;
}

static int getattr_(const char* path, struct stat* st, struct fuse_file_info* fi) {
  return fail(fi ? fstat((int)fi->fh, st) : fstatat(folder, rel(path), st, AT_SYMLINK_NOFOLLOW));
}

static int readdir_(const char* path, void* buf, fuse_fill_dir_t fill, off_t offset, struct fuse_file_info* fi,
                    enum fuse_readdir_flags flags) {
  (void)offset, (void)fi, (void)flags;
  const int fd = openat(folder, rel(path), O_RDONLY | O_DIRECTORY);
  if (fd < 0) return -errno;
  DIR* dir = fdopendir(fd);
  if (!dir) return close(fd), -errno;
  for (struct dirent* entry; (entry = readdir(dir)) != NULL;) fill(buf, entry->d_name, NULL, 0, 0);
  closedir(dir);
  return 0;
}

static int open_(const char* path, struct fuse_file_info* fi) {
  const int fd = openat(folder, rel(path), fi->flags);
  if (fd < 0) return -errno;
  fi->fh = (uint64_t)fd;
  return 0;
}

static int create_(const char* path, mode_t mode, struct fuse_file_info* fi) {
  const int fd = openat(folder, rel(path), fi->flags | O_CREAT, mode);
  if (fd < 0) return -errno;
  fi->fh = (uint64_t)fd;
  return 0;
}

static int read_(const char* path, char* buf, size_t size, off_t offset, struct fuse_file_info* fi) {
  (void)path;
  return fail((int)pread((int)fi->fh, buf, size, offset));
}

static int write_(const char* path, const char* buf, size_t size, off_t offset, struct fuse_file_info* fi) {
  (void)path;
  const ssize_t done = pwrite((int)fi->fh, buf, size, offset);
  if (done < 0) return -errno;
  pthread_mutex_lock(&lock);
  const long long fast = done < fastLeft ? done : fastLeft;
  fastLeft -= fast, owed += done - fast, written += done;
  pthread_mutex_unlock(&lock);
  return (int)done;
}

static int fsync_(const char* path, int datasync, struct fuse_file_info* fi) {
  (void)path, (void)datasync, (void)fi;
  pthread_mutex_lock(&lock);
  const long long due = owed, total = written;
  owed = 0;
  pthread_mutex_unlock(&lock);
  const double seconds = (double)due / rate;
  const double at = now();
  fprintf(stderr, "%.3f (%.3f s): fsync at %.1f MiB written, %.1f MiB due, %.3f s\n", at, at - mounted,
          (double)total / 1048576, (double)due / 1048576, seconds);
  usleep((useconds_t)(seconds * 1e6));
  return 0;
}

static int flush_(const char* path, struct fuse_file_info* fi) { return (void)path, (void)fi, 0; }
static int release_(const char* path, struct fuse_file_info* fi) { return (void)path, close((int)fi->fh), 0; }

static int truncate_(const char* path, off_t size, struct fuse_file_info* fi) {
  if (fi) return fail(ftruncate((int)fi->fh, size));
  const int fd = openat(folder, rel(path), O_WRONLY);
  if (fd < 0) return -errno;
  const int result = fail(ftruncate(fd, size));
  close(fd);
  return result;
}

static int fallocate_(const char* path, int mode, off_t offset, off_t length, struct fuse_file_info* fi) {
  (void)path;
  return fail(fallocate((int)fi->fh, mode, offset, length));
}

static int mkdir_(const char* path, mode_t mode) { return fail(mkdirat(folder, rel(path), mode)); }
static int unlink_(const char* path) { return fail(unlinkat(folder, rel(path), 0)); }
static int rmdir_(const char* path) { return fail(unlinkat(folder, rel(path), AT_REMOVEDIR)); }
static int rename_(const char* from, const char* to, unsigned int flags) {
  return fail(renameat2(folder, rel(from), folder, rel(to), flags));
}
static int chmod_(const char* path, mode_t mode, struct fuse_file_info* fi) {
  return fail(fi ? fchmod((int)fi->fh, mode) : fchmodat(folder, rel(path), mode, 0));
}
static int chown_(const char* path, uid_t uid, gid_t gid, struct fuse_file_info* fi) {
  return fail(fi ? fchown((int)fi->fh, uid, gid) : fchownat(folder, rel(path), uid, gid, AT_SYMLINK_NOFOLLOW));
}
static int access_(const char* path, int mask) { return fail(faccessat(folder, rel(path), mask, 0)); }
static int statfs_(const char* path, struct statvfs* st) { return (void)path, fail(fstatvfs(folder, st)); }

static const struct fuse_operations operations = {
    .init = start, .getattr = getattr_, .readdir = readdir_, .open = open_, .create = create_, .read = read_,
    .write = write_, .fsync = fsync_, .flush = flush_, .release = release_, .truncate = truncate_,
    .fallocate = fallocate_, .mkdir = mkdir_, .unlink = unlink_, .rmdir = rmdir_, .rename = rename_,
    .chmod = chmod_, .chown = chown_, .access = access_, .statfs = statfs_,
};

int main(int argc, char* argv[]) {
  if (argc != 5 || (folder = open(argv[1], O_RDONLY | O_DIRECTORY)) < 0 || atof(argv[4]) <= 0) {
    fprintf(stderr, "usage: slow_disk FOLDER MOUNTPOINT FAST_MIB RATE_MIB_PER_S\n");
    return 2;
  }
  fastLeft = (long long)(atof(argv[3]) * 1048576);
  rate = atof(argv[4]) * 1048576;
  char* args[] = {argv[0], argv[2], "-f", "-o", "fsname=slow_disk,max_threads=16", NULL};
  return fuse_main(5, args, &operations, NULL);
}
