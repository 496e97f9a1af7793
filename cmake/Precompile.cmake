# Qt's headers, compiled once per build. Each of our sources otherwise reads some 3 to 5 MB of
# them before its own first line, which is most of its compile time (a core rule: 3.4 s, 0.9 s
# with these).
#   kelvo_precompile(<target> CORE|WIDGETS)
# CORE: Qt Core's headers, for the targets without widgets; WIDGETS: Qt Widgets', Gui's and
# Core's. A target reuses the headers of its kind, compiled in a target of their own with no
# definition of ours: the compiler takes a precompiled header only where every macro defined
# when it was made is defined the same way where it is used, so ours stay out of it (GCC warns
# with -Winvalid-pch, which CMake passes, and falls back to reading the headers).
# -DKELVO_PRECOMPILE=OFF builds without them.
option(KELVO_PRECOMPILE "Precompile Qt's headers" ON)

# The headers our sources include most. Not a module's whole header (<QtWidgets> makes a
# precompiled header of 370 MB, whose loading alone takes a second per source).
set(KELVO_PRECOMPILED_CORE
    <QByteArray> <QCoreApplication> <QDir> <QElapsedTimer> <QEvent> <QFile> <QFileInfo> <QHash>
    <QJsonDocument> <QJsonObject> <QList> <QLocale> <QLoggingCategory> <QObject> <QPointer>
    <QRandomGenerator> <QRegularExpression> <QSet> <QString> <QStringDecoder> <QStringList>
    <QTemporaryDir> <QTimer> <QUrl> <QVariant>)
set(KELVO_PRECOMPILED_WIDGETS
    <QAccessible> <QAccessibleWidget> <QApplication> <QCheckBox> <QFont> <QGroupBox>
    <QGuiApplication> <QLabel> <QLineEdit> <QMainWindow> <QMenu> <QPainter> <QPushButton>
    <QScreen> <QScrollArea> <QScrollBar> <QTextBlock> <QTextDocument> <QWidget>)

if(KELVO_PRECOMPILE)
    file(WRITE ${CMAKE_BINARY_DIR}/precompiled/empty.cpp "")
    add_library(kelvo_precompiled_core OBJECT ${CMAKE_BINARY_DIR}/precompiled/empty.cpp)
    target_link_libraries(kelvo_precompiled_core PRIVATE Qt6::Core)
    target_precompile_headers(kelvo_precompiled_core PRIVATE ${KELVO_PRECOMPILED_CORE})
    add_library(kelvo_precompiled_widgets OBJECT ${CMAKE_BINARY_DIR}/precompiled/empty.cpp)
    target_link_libraries(kelvo_precompiled_widgets PRIVATE Qt6::Widgets)
    target_precompile_headers(kelvo_precompiled_widgets PRIVATE ${KELVO_PRECOMPILED_CORE}
        ${KELVO_PRECOMPILED_WIDGETS})
    set_target_properties(kelvo_precompiled_core kelvo_precompiled_widgets PROPERTIES
        AUTOMOC OFF AUTOUIC OFF AUTORCC OFF)
endif()

function(kelvo_precompile target kind)
    if(NOT KELVO_PRECOMPILE)
        return()
    endif()
    if(kind STREQUAL "CORE")
        target_precompile_headers(${target} REUSE_FROM kelvo_precompiled_core)
    elseif(kind STREQUAL "WIDGETS")
        target_precompile_headers(${target} REUSE_FROM kelvo_precompiled_widgets)
    else()
        message(FATAL_ERROR "kelvo_precompile(${target} ${kind}): CORE or WIDGETS")
    endif()
endfunction()
