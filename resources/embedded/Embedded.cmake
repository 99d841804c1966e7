# The files embedded in the program, written out by ExtractTemplate(NAME, KIND, target).
# Each is kept here as a readable source; a file that is itself built (a workbook, a table)
# names the generator target that produces it:
#   tvx_embed(NAME KIND FILE [GENERATED_BY target])
# Included by src/core/CMakeLists.txt; generators must be defined before it.
# The reception sheet a pre-order prints through, written to the data directory when missing.
tvx_embed(PrecoMod Model ${CMAKE_SOURCE_DIR}/resources/embedded/PrecoMod.rtf)
