s/ID=-?[0-9]+\) OstrelleFixture,/ID=<menu>) OstrelleFixture,/
