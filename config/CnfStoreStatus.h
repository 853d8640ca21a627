#pragma once

class QSettings;

// Whether a settings store took what was written to it. QSettings writes
// lazily and reports a failed write only through status(), which nobody sees
// unless it is asked: every save of a store ends here.
class CnfStoreStatus
{
public:
    // Writes what settings holds to its store now; false, with a warning that
    // names the store and the kind of failure, when that failed.
    static bool sync(QSettings &settings);
};
