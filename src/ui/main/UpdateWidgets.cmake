# The update row of the main window's command panel: a library of its own, built from the
# main window's folder and included by src/CMakeLists.txt.
brelmont_library(brelmont_update_widgets
    SOURCES
        ${CMAKE_CURRENT_LIST_DIR}/UpdateLinkRow.cpp ${CMAKE_CURRENT_LIST_DIR}/UpdateLinkRow.h
        ${CMAKE_CURRENT_LIST_DIR}/UpdateProgressRow.cpp ${CMAKE_CURRENT_LIST_DIR}/UpdateProgressRow.h
    LIBS brelmont_update brelmont_dialogs brelmont_settings Qt6::Widgets)
