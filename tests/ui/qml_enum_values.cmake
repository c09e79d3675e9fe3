# Fails when a view names an enum value that does not exist: a kind renamed
# in C++ but not in the views, or misspelt there. At run time such a value is
# undefined and a comparison with it is silently false, so only a reading of
# the views finds it. qmllint reports it as an enum it "cannot access", or
# as a capitalised name (never a property's) "not found" on a type; its
# other findings are not this test's business.
#   cmake -DQMLLINT=... -DMODULES=<build>/qml -DQT_QML=<Qt's QML folder> -DVIEWS=<folder> -P qml_enum_values.cmake
file(GLOB_RECURSE views ${VIEWS}/*.qml)
execute_process(COMMAND ${QMLLINT} --bare -I ${MODULES} -I ${QT_QML} ${views}
                OUTPUT_VARIABLE report ERROR_VARIABLE report)
if(NOT report MATCHES "Warning: ")
  message(FATAL_ERROR "qmllint read no view:\n${report}")
endif()
string(REGEX MATCHALL "[^\n]*(You cannot access \"[^\"]+\" from here|Property \"[A-Z][^\"]*\" not found on type)[^\n]*"
       unknown "${report}")
if(unknown)
  list(JOIN unknown "\n" lines)
  message(FATAL_ERROR "The views name enum values that do not exist:\n${lines}")
endif()
list(LENGTH views count)
message(STATUS "Every enum value named in ${count} views exists.")
