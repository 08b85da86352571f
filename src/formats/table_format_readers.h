#pragma once

// Hands the readers of the other instruments' wavetable files to the
// universal reader in files/, which sits below the table model and so cannot
// call them itself. Every program calls this once at start, before the first
// file is read.
void RegisterTableFormatReaders();
