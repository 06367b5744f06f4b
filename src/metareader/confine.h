// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Shuts the reader in before it opens the first file it is asked about.
// False when the filter could not be loaded: the reader then reads nothing.
bool confineReader();
