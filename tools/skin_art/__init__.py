"""Drawing, settings and checks of the Standard skin's generator (tools/make_standard_skin.py)."""
