# Qt's headers cost most of the compile time of the program's files: they
# are parsed once into a precompiled header. The program's non-GUI targets
# are built with the same flags and share one header (the first of them
# makes it, the others reuse it); the wizard's, with the widgets, is its own.
function(ondrelle_qt_pch target)
  set(headers <QtCore/QObject> <QtCore/QString> <QtCore/QStringList> <QtCore/QByteArray> <QtCore/QList>
      <functional> <memory> <string> <vector>)
  if("widgets" IN_LIST ARGN)
    list(APPEND headers <QtWidgets/QWidget> <QtWidgets/QLabel> <QtWidgets/QPushButton> <QtWidgets/QLayout>)
    target_precompile_headers(${target} PRIVATE ${headers})
    return()
  endif()
  get_property(owner GLOBAL PROPERTY ONDRELLE_QT_CORE_PCH_OWNER)
  if(owner)
    target_precompile_headers(${target} REUSE_FROM ${owner})
  else()
    target_precompile_headers(${target} PRIVATE ${headers})
    set_property(GLOBAL PROPERTY ONDRELLE_QT_CORE_PCH_OWNER ${target})
  endif()
endfunction()
