# Build speed: precompiled standard and Qt headers, unity builds for the folders whose
# sources allow them. ccache is chosen in the top CMakeLists. Both can be turned off
# (-DSELVANOR_PCH=OFF, -DSELVANOR_UNITY=OFF) to check that every source still compiles
# on its own.
option(SELVANOR_PCH "Precompile the standard and Qt headers" ON)
option(SELVANOR_UNITY "Unity builds for the folders that allow them" ON)
# Small batches: a touched source recompiles its batch only, so a rebuild stays short.
set(SELVANOR_UNITY_BATCH 6 CACHE STRING "Sources per unity batch")

set(SELVANOR_STD_HEADERS
  <algorithm> <cstdint> <cstdio> <cstring> <functional> <map> <memory> <optional>
  <set> <string> <string_view> <unordered_map> <utility> <vector>)
set(SELVANOR_QT_HEADERS
  <QAbstractItemModel> <QAction> <QApplication> <QDialog> <QDialogButtonBox> <QFileInfo>
  <QHBoxLayout> <QLabel> <QLineEdit> <QMenu> <QMessageBox> <QPushButton> <QString>
  <QStringList> <QTableView> <QVBoxLayout> <QWidget>)

# selvanor_pch(TARGET [QT]): precompiles the standard headers (and Qt's, with QT) for TARGET.
function(selvanor_pch target)
  if(NOT SELVANOR_PCH)
    return()
  endif()
  cmake_parse_arguments(ARG "QT" "" "" ${ARGN})
  set(headers ${SELVANOR_STD_HEADERS})
  if(ARG_QT)
    list(APPEND headers ${SELVANOR_QT_HEADERS})
  endif()
  target_precompile_headers(${target} PRIVATE ${headers})
endfunction()

# selvanor_pch_reuse(TARGET FROM): TARGET compiles with FROM's precompiled header (one
# header for many small test programs with the same flags, instead of one each).
function(selvanor_pch_reuse target from)
  if(SELVANOR_PCH)
    target_precompile_headers(${target} REUSE_FROM ${from})
  endif()
endfunction()

# selvanor_unity(TARGET...): unity builds in small batches.
function(selvanor_unity)
  if(SELVANOR_UNITY)
    set_target_properties(${ARGN} PROPERTIES UNITY_BUILD ON
                          UNITY_BUILD_BATCH_SIZE ${SELVANOR_UNITY_BATCH})
  endif()
endfunction()
