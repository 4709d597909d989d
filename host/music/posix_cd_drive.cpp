// Linux's CD-ROM requests: the drive's status and the disc's table of contents. Opened without
// waiting, so that an open tray or an empty drive answers at once instead of being waited for.

#include "host/music/posix_cd_drive.h"

#include <fcntl.h>
#include <limits.h>  // INT_MAX, for CDSL_CURRENT
#include <linux/cdrom.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

std::optional<int> AudioTracks(int fd) {
    if (ioctl(fd, CDROM_DRIVE_STATUS, CDSL_CURRENT) != CDS_DISC_OK) return std::nullopt;
    cdrom_tochdr header{};
    if (ioctl(fd, CDROMREADTOCHDR, &header) != 0) return std::nullopt;
    int tracks = 0;
    for (int track = header.cdth_trk0; track <= header.cdth_trk1; ++track) {
        cdrom_tocentry entry{};
        entry.cdte_track = static_cast<__u8>(track);
        entry.cdte_format = CDROM_MSF;
        if (ioctl(fd, CDROMREADTOCENTRY, &entry) != 0) return std::nullopt;
        if ((entry.cdte_ctrl & CDROM_DATA_TRACK) == 0) ++tracks;
    }
    // A disc of data only holds nothing to play.
    if (tracks == 0) return std::nullopt;
    return tracks;
}

}  // namespace

std::optional<int> PosixCdDrive::TrackCount() {
    const int fd = open(device_.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    const std::optional<int> tracks = AudioTracks(fd);
    close(fd);
    return tracks;
}
