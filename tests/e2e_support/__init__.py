"""What the Wine and the native end-to-end suites share: private X servers, screenshot
judgement, sound and build facts. Both suites find it through PYTHONPATH (tests/)."""
