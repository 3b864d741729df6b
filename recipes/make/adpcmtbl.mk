# adpcmtbl.mk: the GNU make recipe (make 4.3 or later) that runs adpcmtbl
# on voice tables. Include it, then call it once for each table folder:
#
#   include adpcmtbl.mk
#   $(eval $(call adpcmtbl_table,sounds/drums))
#   $(eval $(call adpcmtbl_table,/srv/voices/strings))
#   all: $(adpcmtbl_outputs)
#   clean: ; $(adpcmtbl_clean)
#
# Each call makes FOLDER/PCMTBL and FOLDER/pcmxml.txt in one run of the tool
# inside FOLDER (a relative one taken from make's working directory), and
# makes them again exactly when FOLDER/DATA changes or a FOLDER/VOICE.n
# (n = 1 to 32) appears or disappears, by the tool's own rule: a VOICE.n is
# present when it can be opened for reading and is not a folder, so one that
# becomes readable or stops being readable appears or disappears. It keeps
# the list of VOICE.n present in FOLDER/.adpcmtbl-voices, which belongs in
# .gitignore. The calls set adpcmtbl_outputs (every table's two outputs) and
# adpcmtbl_clean (a command that removes them and the state files).
#
# ADPCMTBL is the tool (default adpcmtbl, looked up in PATH), read when the
# recipe runs; a path with a slash in it is taken from make's working
# directory, and may hold spaces.
#
# What the recipe guarantees and refuses is in docs/build-recipes.md in the
# adpcmtbl sources.

ifeq ($(filter grouped-target,$(.FEATURES)),)
  $(error adpcmtbl.mk needs GNU make 4.3 or later (grouped targets); this is $(MAKE_VERSION))
endif

ADPCMTBL ?= adpcmtbl

adpcmtbl_tables :=
adpcmtbl_outputs :=
adpcmtbl_clean = rm -f -- $(foreach t,$(adpcmtbl_tables),$(foreach f,PCMTBL pcmxml.txt \
  .adpcmtbl-voices,$(call adpcmtbl_quote,$t/$f)))

# For the shell: one word in single quotes, each ' inside as '\''.
adpcmtbl_quote = '$(subst ','\'',$(1))'
adpcmtbl_say = echo $(call adpcmtbl_quote,adpcmtbl.mk: $(1)) >&2

# A call, step by step.  The name is checked before it is written into a
# line of make's, where a $ or # in it would mean something else.  Saving the
# default goal keeps the call from choosing it.
define adpcmtbl_table
$(call adpcmtbl_need_usable_name,$(strip $(1)))
adpcmtbl_folder := $(call adpcmtbl_without_slash,$(strip $(1)))
$$(call adpcmtbl_need_new_folder,$$(adpcmtbl_folder))
adpcmtbl_present := $$(call adpcmtbl_voices,$$(adpcmtbl_folder))
adpcmtbl_goal := $$(.DEFAULT_GOAL)
$$(eval $$(call adpcmtbl_rules,$$(adpcmtbl_folder),$$(adpcmtbl_present)))
.DEFAULT_GOAL := $$(adpcmtbl_goal)
endef

# Step: a name make can take as a file name, or make stops, saying what is wrong.
adpcmtbl_unusable := : \# % ; = | \ $$ * ? [
adpcmtbl_need_usable_name = $(if $(1),,$(error adpcmtbl.mk: adpcmtbl_table was called without \
  a table folder))$(if $(call adpcmtbl_flaws,$(1)),$(error adpcmtbl.mk: the table folder "$(1)" \
  has $(call adpcmtbl_flaws,$(1)) in its name: make cannot take a blank, any of \
  $(adpcmtbl_unusable) or a leading ~ in a file name; rename the folder, or reach it through a \
  link whose name has none))
adpcmtbl_flaws = $(strip $(if $(word 2,$(1)),a blank) $(foreach c,$(adpcmtbl_unusable),$(if \
  $(findstring $c,$(1)),"$c")) $(if $(filter ~%,$(1)),a leading "~"))

# Step: the name without a trailing /, so that the outputs' names have no //.
adpcmtbl_without_slash = $(if $(filter-out /,$(1)),$(1:%/=%),$(1))

# Step: a folder not given before under any name (t2, ./t2/, $(CURDIR)/t2),
# for two calls would write two rules for one file.
adpcmtbl_need_new_folder = $(if $(filter $(call adpcmtbl_key,$(1)),$(foreach \
  t,$(adpcmtbl_tables),$(call adpcmtbl_key,$t))),$(error adpcmtbl.mk: adpcmtbl_table was called \
  twice for the table folder "$(1)"))
# A folder by its absolute path without ., .. or doubled and trailing /. The
# checked name has no blank, so abspath takes it whole; a blank or % it gets
# from $(CURDIR) becomes ?, which no checked name holds, so filter can compare.
adpcmtbl_tab := $()	$()
adpcmtbl_key = $(subst %,?,$(subst $(adpcmtbl_tab),?,$(subst $() ,?,$(abspath $(1)))))

# Step: the voice files present, as "voices:VOICE.1 VOICE.2 ...", by the
# tool's rule: what it can open for reading that is not a folder.  make sees
# only whether a name exists ($(wildcard), $(realpath)), and $(file <) stops
# make on a file it cannot read and waits for a writer on a named pipe; so one
# shell a table asks the system, with test -r, which opens nothing (a named
# pipe counts, as it does for the tool) and answers for root as open would,
# with its power to read any file or without it.
adpcmtbl_numbers := 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20 21 22 23 24 25 26 \
  27 28 29 30 31 32
adpcmtbl_voices = voices:$(shell for n in $(adpcmtbl_numbers); do \
  f=$(call adpcmtbl_quote,$(1))/VOICE.$$n; test -r "$$f" && ! test -d "$$f" && echo VOICE.$$n; done)

# Step: the rules.  DATA has a rule with no recipe so that, missing, it fails
# the run with a message naming it rather than make's "No rule"; a user's rule
# that makes it still applies, and runs before the state file is written
# (which needs the folder, and with -j would not wait otherwise).
define adpcmtbl_rules
adpcmtbl_tables += $(1)
adpcmtbl_outputs += $(1)/PCMTBL $(1)/pcmxml.txt
$(1)/PCMTBL $(1)/pcmxml.txt &: $(1)/DATA $(1)/.adpcmtbl-voices
	@$(call adpcmtbl_need_folder,$(1))
	@$(call adpcmtbl_need_data,$(1))
	$(call adpcmtbl_run,$(1))
$(1)/DATA:
$(1)/.adpcmtbl-voices:$(call adpcmtbl_if_changed,$(1),$(2)) | $(1)/DATA
	@$(call adpcmtbl_need_folder,$(1))
	@$(call adpcmtbl_record,$(1),$(2))
endef

# A VOICE.n that disappears leaves nothing newer behind, so the outputs follow
# the state file, which holds the list of those present and is rewritten (so
# made newer) only when the list differs: then a phony prerequisite puts it
# out of date.  Elsewhere it is only read, so make -n, -q and clean write none.
adpcmtbl_if_changed = $(if $(call adpcmtbl_differ,$(call adpcmtbl_recorded,$(1)),$(2)), \
  .adpcmtbl-voices-changed)
.PHONY: .adpcmtbl-voices-changed
# Read only if it is there: $(file <) stops make when the folder is not.
adpcmtbl_recorded = $(if $(wildcard $(1)/.adpcmtbl-voices),$(file <$(1)/.adpcmtbl-voices))
# Empty exactly when the two texts are equal.
adpcmtbl_differ = $(subst $(1),,$(2))$(subst $(2),,$(1))
adpcmtbl_record = echo $(call adpcmtbl_quote,$(2)) >$(call adpcmtbl_quote,$(1)/.adpcmtbl-voices)

# The recipes' lines.  A missing folder or DATA is named; a failed run removes
# both outputs, for make keeps one that the tool failed before touching.
adpcmtbl_need_folder = if test ! -d $(call adpcmtbl_quote,$(1)); then \
  if test -e $(call adpcmtbl_quote,$(1)); then $(call adpcmtbl_say,the table folder "$(1)" is \
  not a folder); else $(call adpcmtbl_say,the table folder "$(1)" does not exist); fi; exit 1; fi
adpcmtbl_need_data = if test ! -e $(call adpcmtbl_quote,$(1)/DATA); then \
  rm -f -- $(call adpcmtbl_quote,$(1)/PCMTBL) $(call adpcmtbl_quote,$(1)/pcmxml.txt); \
  $(call adpcmtbl_say,the table folder "$(1)" holds no DATA); exit 1; fi
adpcmtbl_run = cd $(call adpcmtbl_quote,$(if $(filter /%,$(1)),,./)$(1)) && \
  { $$(adpcmtbl_tool) || { rm -f PCMTBL pcmxml.txt; exit 1; }; }

# The tool, read as the recipe runs.  It runs inside the table folder, so a
# path with a slash that is not absolute is taken from make's folder here
# (abspath would split it at spaces); a bare name is the shell's to look up.
adpcmtbl_tool = $(if $(ADPCMTBL),,$(error adpcmtbl.mk: ADPCMTBL is empty))$(call \
  adpcmtbl_quote,$(if $(adpcmtbl_tool_is_relative),$(CURDIR)/)$(ADPCMTBL))
adpcmtbl_tool_is_relative = $(and $(findstring /,$(ADPCMTBL)),$(filter-out \
  /%,$(firstword $(ADPCMTBL))))
