#pragma once

// Registers the program's compiled-in resources: the pictures below
// ":/images/", the window icon ":/KivDataBaseUpdater.ico" and the dark style
// sheet ":/qdarkstyle/style.qss" with its images. They live in a static
// library, whose resources the linker leaves out unless something refers to
// them: call this once, before their first use. Calling it again is harmless.
void initKivResources();
