# Qt's headers cost most of the compile time of the program's files: each
# Qt target parses them once, into a precompiled header.
function(ondrelle_qt_pch target)
  set(headers <QtCore/QObject> <QtCore/QString> <QtCore/QStringList> <QtCore/QByteArray> <QtCore/QList>
      <functional> <memory> <string> <vector>)
  if("widgets" IN_LIST ARGN)
    list(APPEND headers <QtWidgets/QWidget> <QtWidgets/QLabel> <QtWidgets/QPushButton> <QtWidgets/QLayout>)
  endif()
  target_precompile_headers(${target} PRIVATE ${headers})
endfunction()
