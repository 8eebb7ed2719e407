# The layers: which folders under src/ the sources of each folder may include, from the ground
# up. The build links each core folder to exactly the folders named here, and the include check
# (cmake/check_layers.cmake) refuses any other folder-to-folder include, so this table is
# the one place where an edge is allowed. A folder always includes its own headers.
set(NORVANE_CORE_FOLDERS base xml settings catalog safety tci project verification lint report)

set(NORVANE_LAYER_base "")
set(NORVANE_LAYER_xml base)
set(NORVANE_LAYER_settings base)
set(NORVANE_LAYER_catalog base xml)
set(NORVANE_LAYER_safety base catalog)
set(NORVANE_LAYER_tci base xml catalog safety)
set(NORVANE_LAYER_project base xml catalog)
set(NORVANE_LAYER_verification base catalog safety tci project)
set(NORVANE_LAYER_lint base xml catalog safety)
set(NORVANE_LAYER_report base xml settings catalog safety tci project verification lint)
# The two programs sit on the whole core and never on each other.
set(NORVANE_LAYER_window ${NORVANE_CORE_FOLDERS})
set(NORVANE_LAYER_cli ${NORVANE_CORE_FOLDERS})

# Only the window may include Qt.
set(NORVANE_QT_FOLDERS window)
