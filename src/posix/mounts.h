// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

// The mounted volumes as the kernel lists them for this process, and what
// names a volume whatever device it is mounted from.
namespace Mounts {

// The type and source of the mount with this device number, from
// /proc/self/mountinfo: "fuseblk" and "/dev/loop0" for an exFAT or NTFS volume
// through FUSE, "ext4" and "/dev/sda1". False when no mount has it.
bool find(quint64 device, QByteArray *type, QByteArray *source);

// The UUID of the volume that holds the open folder `folder` (of device
// `device`), spelled as blkid spells it ("6F17-FC04" for exFAT,
// "1b4e28ba-2fa1-11d2-883f-0016d3cca427" for ext4); empty where none can be
// told (tmpfs on older kernels, network and other FUSE mounts, a device that
// may not be read). A device number changes when an image is mounted on
// another loop device or a card in another slot; this does not.
QByteArray volumeId(int folder, quint64 device);

// A descriptor open for reading on a mount's source, where it is a block
// device or an image file; -1 otherwise.
int openVolumeSource(const QByteArray &source);

// The 16 bytes of a UUID as text, "8-4-4-4-12" hex digits.
QByteArray uuidText(const unsigned char *bytes, int length);

} // namespace Mounts
