// Anchors the precompiled header the QtTest programs share; it defines nothing.
