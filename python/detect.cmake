# Decides whether the Python module can be built (KORVALIN_HAVE_PYTHON) and
# with which interpreter. Included before any library is defined, because
# the libraries the module links must then be position independent.
#
# The interpreter is Python3_EXECUTABLE when given, else the first of
# `python3` on PATH and /usr/bin/python3 that imports NumPy: distribution
# packages (NumPy, scikit-learn, pybind11) belong to the system
# interpreter, which a python3 earlier on PATH may hide.
set(KORVALIN_HAVE_PYTHON OFF)

# Sets `result` to whether `interpreter` imports every module of the list `modules`.
function(korvalin_python_imports result interpreter modules)
  string(REPLACE ";" ", " statement "import ${modules}")
  execute_process(COMMAND ${interpreter} -c "${statement}" RESULT_VARIABLE status OUTPUT_QUIET ERROR_QUIET)
  if(status EQUAL 0)
    set(${result} ON PARENT_SCOPE)
  else()
    set(${result} OFF PARENT_SCOPE)
  endif()
endfunction()
if(NOT KORVALIN_PYTHON)
  message(STATUS "Python module: off (KORVALIN_PYTHON=OFF)")
  return()
endif()
if(KORVALIN_SANITIZE OR KORVALIN_FUZZ)
  message(STATUS "Python module: off in sanitizer builds (the interpreter lacks their runtime)")
  return()
endif()

if(NOT Python3_EXECUTABLE)
  find_program(KORVALIN_PATH_PYTHON3 python3 NO_CACHE)
  foreach(candidate IN ITEMS ${KORVALIN_PATH_PYTHON3} /usr/bin/python3)
    korvalin_python_imports(usable ${candidate} numpy)
    if(usable)
      set(Python3_EXECUTABLE ${candidate} CACHE FILEPATH "Interpreter for the Python module and its tests")
      break()
    endif()
  endforeach()
endif()
if(NOT Python3_EXECUTABLE)
  message(STATUS "Python module: off (no python3 with NumPy found; set Python3_EXECUTABLE)")
  return()
endif()

find_package(Python3 COMPONENTS Interpreter Development.Module QUIET)
if(NOT Python3_Development.Module_FOUND)
  message(STATUS "Python module: off (no headers for ${Python3_EXECUTABLE}: install python3-dev)")
  return()
endif()
# pybind11 installed for this interpreter (pip) first, else the system's (pybind11-dev).
execute_process(COMMAND ${Python3_EXECUTABLE} -m pybind11 --cmakedir
                OUTPUT_VARIABLE KORVALIN_PYBIND11_DIR OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
find_package(pybind11 CONFIG QUIET HINTS ${KORVALIN_PYBIND11_DIR})
if(NOT pybind11_FOUND)
  message(STATUS "Python module: off (pybind11 not found: install pybind11-dev)")
  return()
endif()
korvalin_python_imports(usable ${Python3_EXECUTABLE} numpy)
if(NOT usable)
  message(STATUS "Python module: off (${Python3_EXECUTABLE} lacks NumPy: install python3-numpy)")
  return()
endif()

set(KORVALIN_HAVE_PYTHON ON)
set(CMAKE_POSITION_INDEPENDENT_CODE ON)
message(STATUS "Python module: ${Python3_EXECUTABLE} (Python ${Python3_VERSION}), pybind11 ${pybind11_VERSION}")
