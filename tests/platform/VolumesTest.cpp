#include "platform/Volumes.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/MountTable.h"
#include "platform/Path.h"
#include "support/ScopedEnv.h"

namespace qinglan::platform {

// Found by argument lookup, so failures print volumes readably.
static void PrintTo(const Volume& volume, std::ostream* out) {
  *out << volume.root << "=" << static_cast<int>(volume.kind);
}

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// The texts below are written with "/"; roots end with the system's own separator.
std::string native(std::string text) {
  std::replace(text.begin(), text.end(), '/', kSeparator);
  return text;
}

std::vector<Volume> native(std::vector<Volume> volumes) {
  for (Volume& volume : volumes)
    volume.root = native(volume.root);
  return volumes;
}

TEST(VolumesTest, ParsesTheOverride) {
  const struct {
    const char* text;
    std::vector<Volume> expected;
  } cases[] = {
      {"", {}},
      {"/=fixed", {{"/", DriveKind::Fixed}}},
      {"/mnt/a=removable;/mnt/b/=remote;/srv/c=optical;/run/d=ram",
       {{"/mnt/a/", DriveKind::Removable},
        {"/mnt/b/", DriveKind::Remote},
        {"/srv/c/", DriveKind::Optical},
        {"/run/d/", DriveKind::Ram}}},
      // Order is kept as written: the override is the platform's order.
      {"/z=fixed;/a=fixed", {{"/z/", DriveKind::Fixed}, {"/a/", DriveKind::Fixed}}},
      {" /spaced = Fixed ;", {{"/spaced/", DriveKind::Fixed}}},
      {"/with=equals=ram", {{"/with=equals/", DriveKind::Ram}}},
      {"junk;/x=floppy;=ram;/y=;;/ok=fixed", {{"/ok/", DriveKind::Fixed}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(parseVolumesOverride(native(c.text)), native(c.expected));
  }
}

TEST(VolumesTest, TheOverrideReplacesTheMountTable) {
  test::ScopedEnv volumes("QINGLAN_VOLUMES", native("/data=fixed;/stick=removable"));
  EXPECT_THAT(listVolumes(), ElementsAre(Volume{native("/data/"), DriveKind::Fixed},
                                         Volume{native("/stick/"), DriveKind::Removable}));
}

#ifdef _WIN32
TEST(VolumesTest, ReadsTheLinuxMountTable) {
  GTEST_SKIP() << "the mount table is Linux's; the drive letters are tested beside the Win32 backend";
}
#else
TEST(VolumesTest, TheMountTableAlwaysStartsWithTheRoot) {
  test::ScopedEnv volumes("QINGLAN_VOLUMES", std::nullopt);
  const std::vector<Volume> found = listVolumes();
  ASSERT_FALSE(found.empty());
  EXPECT_EQ(found.front().root, "/");
}

constexpr const char* kDesktopMountInfo =
    "22 28 0:21 / /proc rw,nosuid,nodev,noexec,relatime shared:12 - proc proc rw\n"
    "23 28 0:22 / /sys rw,nosuid,nodev,noexec,relatime shared:2 - sysfs sysfs rw\n"
    "24 28 0:5 / /dev rw,nosuid,relatime shared:8 - devtmpfs udev rw,size=8000000k\n"
    "25 24 0:23 / /dev/shm rw,nosuid,nodev shared:9 - tmpfs tmpfs rw\n"
    "26 23 0:24 / /sys/fs/cgroup rw,nosuid,nodev,noexec,relatime shared:4 - cgroup2 cgroup2 rw\n"
    "30 28 0:25 / /run rw,nosuid,nodev,noexec,relatime shared:5 - tmpfs tmpfs rw,size=1600000k\n"
    "35 28 8:2 /@home /home rw,relatime shared:30 - btrfs /dev/sda2 rw,subvol=/@home\n"
    "28 1 8:2 /@ / rw,relatime shared:1 - btrfs /dev/sda2 rw,subvol=/@\n"
    "36 28 8:1 / /boot/efi rw,relatime shared:31 - vfat /dev/sda1 rw,fmask=0077\n"
    "40 28 0:40 / /tmp rw,nosuid,nodev shared:20 - tmpfs tmpfs rw\n"
    "41 30 8:17 / /run/media/user/STICK rw,nosuid,nodev,relatime shared:50 - exfat /dev/sdb1 rw\n"
    "42 28 8:33 / /mnt/usb-disk rw,relatime shared:51 - ext4 /dev/sdc1 rw\n"
    "43 28 0:50 / /mnt/nas rw,relatime shared:52 - nfs4 nas:/export rw\n"
    "44 28 0:51 / /mnt/share rw,relatime shared:53 - cifs //server/share rw\n"
    "45 28 0:52 / /mnt/ssh rw,nosuid,nodev,relatime shared:54 - fuse.sshfs me@host:/ rw\n"
    "46 28 11:0 / /mnt/cd ro,relatime shared:55 - iso9660 /dev/sr0 ro\n"
    "47 28 0:53 / /mnt/portal rw,nosuid,nodev,relatime shared:56 - fuse.portal portal rw\n"
    "48 28 8:49 / /mnt/my\\040disk rw,relatime - ext4 /dev/sdd1 rw\n"
    "49 28 8:65 / /media/user/CARD rw,relatime - vfat /dev/sde1 rw\n"
    "50 28 0:60 / /var/lib/docker/overlay2/abc/merged rw,relatime - overlay overlay rw,lowerdir=/x\n"
    "this line is not a mount\n"
    "51 28 8:81 / /mnt/shadowed rw,relatime - ext4 /dev/sdf1 rw\n"
    "52 51 0:61 / /mnt/shadowed rw,relatime - tmpfs tmpfs rw\n"
    "53 28 7:0 / /snap/core/100 ro,nodev,relatime - squashfs /dev/loop0 ro\n"
    "54 28 7:1 / /mnt/image rw,relatime - ext4 /dev/loop1 rw\n"
    "55 28 8:33 / /srv/usb-again rw,relatime - ext4 /dev/sdc1 rw\n"
    "56 28 8:33 /sub /srv/usb-sub rw,relatime - ext4 /dev/sdc1 rw\n";

TEST(VolumesTest, ReadsKindsAndOrderFromTheMountTable) {
  // The disk 8:33 reports itself removable; the others are removable by where they are mounted.
  // Its root bound again at /srv/usb-again is not listed twice; its folder /sub is another volume.
  const auto isRemovable = [](std::string_view majorMinor) { return majorMinor == "8:33"; };
  EXPECT_THAT(
      volumesFromMountInfo(kDesktopMountInfo, isRemovable),
      ElementsAre(Volume{"/", DriveKind::Fixed}, Volume{"/boot/efi/", DriveKind::Fixed},
                  Volume{"/home/", DriveKind::Fixed}, Volume{"/media/user/CARD/", DriveKind::Removable},
                  Volume{"/mnt/cd/", DriveKind::Optical}, Volume{"/mnt/image/", DriveKind::Optical},
                  Volume{"/mnt/my disk/", DriveKind::Fixed}, Volume{"/mnt/nas/", DriveKind::Remote},
                  Volume{"/mnt/shadowed/", DriveKind::Ram}, Volume{"/mnt/share/", DriveKind::Remote},
                  Volume{"/mnt/ssh/", DriveKind::Remote}, Volume{"/mnt/usb-disk/", DriveKind::Removable},
                  Volume{"/run/", DriveKind::Ram}, Volume{"/run/media/user/STICK/", DriveKind::Removable},
                  Volume{"/snap/core/100/", DriveKind::Optical},
                  Volume{"/srv/usb-sub/", DriveKind::Removable}, Volume{"/tmp/", DriveKind::Ram}));
}

TEST(VolumesTest, AContainerRootOverlayIsAFixedVolume) {
  const char* text =
      "500 400 0:70 / / rw,relatime master:1 - overlay overlay rw,lowerdir=/l,upperdir=/u,workdir=/w\n"
      "501 500 0:71 / /proc rw,nosuid,nodev,noexec,relatime - proc proc rw\n"
      "502 500 254:0 /data/hosts /etc/hosts rw,relatime - ext4 /dev/vda rw\n";
  // A file bound over a file is still a mount here; listVolumes drops roots that are no folders.
  const auto neverRemovable = [](std::string_view) { return false; };
  EXPECT_THAT(volumesFromMountInfo(text, neverRemovable),
              ElementsAre(Volume{"/", DriveKind::Fixed}, Volume{"/etc/hosts/", DriveKind::Fixed}));
}

TEST(VolumesTest, AnEmptyOrUnreadableMountTableHasNoVolumes) {
  const auto neverRemovable = [](std::string_view) { return false; };
  EXPECT_THAT(volumesFromMountInfo("", neverRemovable), IsEmpty());
  EXPECT_THAT(volumesFromMountInfo("1 2 3\n - ext4 /dev/sda1\n", neverRemovable), IsEmpty());
}

TEST(VolumesTest, TheMountPointOfAPathIsItsLongestMountedFolder) {
  const char* text =
      "1 0 8:1 / / rw - ext4 /dev/sda1 rw\n"
      "2 1 8:2 / /media/usb rw - vfat /dev/sda2 rw\n"
      "3 1 0:9 / /media/usb\\040b rw - tmpfs tmpfs rw\n";
  const std::pair<const char*, const char*> cases[] = {{"/media/usb/a/b", "/media/usb"},
                                                       {"/media/usb", "/media/usb"},
                                                       {"/media/usbx/a", "/"},
                                                       {"/media/usb b/c", "/media/usb b"},
                                                       {"/home/a", "/"}};
  for (const auto& [path, mountPoint] : cases)
    EXPECT_EQ(mountPointOf(path, text), mountPoint) << path;
}

// /media mounted over /media/usb hides it: a folder open on the hidden mount is still on it.
TEST(VolumesTest, AMountIsFoundByItsIdEvenWhenALaterMountHidesItsPath) {
  const char* text =
      "21 0 8:1 / / rw - ext4 /dev/sda1 rw\n"
      "22 21 8:2 / /media/usb rw - vfat /dev/sda2 rw\n"
      "23 21 0:9 / /media rw - tmpfs tmpfs rw\n";
  EXPECT_EQ(mountPathOfId(22, text), "/media/usb");
  EXPECT_EQ(mountPathOfId(23, text), "/media");
  EXPECT_EQ(mountPathOfId(2, text), "");
  EXPECT_EQ(mountPathOfId(0, text), "");
}

#endif

}  // namespace
}  // namespace qinglan::platform
