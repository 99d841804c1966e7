# The files embedded in the program, written out by ExtractTemplate(NAME, KIND, target).
# Each is kept here as a readable source; a file that is itself built (a workbook, a table)
# names the generator target that produces it:
#   tvx_embed(NAME KIND FILE [GENERATED_BY target])
# Included by src/core/CMakeLists.txt; generators must be defined before it.
# The head of the e-invoice XML: the declaration and the Invoice start tag with its namespaces.
tvx_embed(XMLANAF MODEL ${CMAKE_CURRENT_LIST_DIR}/XMLANAF.xml)
